// A data file of one type (KM360R_FUZZ_FILE_TYPE: .ref, .hif or .syf) with any
// bytes, loaded as opening it does; the rows it gave are saved again and the
// saved file must load to the same rows.
#include <string>
#include <vector>

#include "fuzz/FuzzTable.h"
#include "table/DataFiles.h"

namespace {

constexpr datafile::FileType kType = datafile::FileType::KM360R_FUZZ_FILE_TYPE;

void Load(TablePage& page, std::string_view content, std::vector<int>* graph) {
  page.ApplyLayout(kType == datafile::FileType::Syf ? Layout::Parameters : Layout::Measurement);
  datafile::LoadRecords(kType, content, page.Model(), 0, graph);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TablePage page = fuzz::MakePage(true);
  std::vector<int> graph;
  Load(page, datafile::ContentOf(bytes), kType == datafile::FileType::Ref ? &graph : nullptr);
  if (graph.size() > static_cast<size_t>(datafile::kMaxGraphValues)) __builtin_trap();

  const std::string saved = datafile::Compose(page.Model(), kType);
  if (saved.empty() || saved.back() != '\0') __builtin_trap();
  TablePage again = fuzz::MakePage(true);
  Load(again, datafile::ContentOf(saved), nullptr);
  (void)again.Model().RowCount();
  return 0;
}
