// A data file of one type (KM360R_FUZZ_FILE_TYPE: .ref, .hif or .syf) with any
// bytes, loaded as opening it does; the rows it gave are saved again, and the
// saved file must load to the same rows, cell for cell.
#include <string>
#include <string_view>
#include <vector>

#include "common/GbkKeywords.h"
#include "common/TextRules.h"
#include "fuzz/FuzzTable.h"
#include "table/DataFiles.h"

namespace {

constexpr datafile::FileType kType = datafile::FileType::KM360R_FUZZ_FILE_TYPE;

void Load(TablePage& page, std::string_view content, std::vector<int>* graph) {
  page.ApplyLayout(kType == datafile::FileType::Syf ? Layout::Parameters : Layout::Measurement);
  datafile::LoadRecords(kType, content, page.Model(), 0, graph);
}

// True when no cell holds a text that places cells in a file (a label, a
// unit, a line break). Reading cuts a cell at such a text or takes its
// neighbour's bytes for it, so only rows made of other texts come back as
// they were. The linear power's "W" may end its own cell and stand nowhere
// else. A .syf record ends 28 bytes after the start of its "量程7校准值:"
// (12 bytes), so its last cell comes back whole only up to 13 bytes, before
// "dBm".
bool CellsHoldNoMarks(const TableModel& table) {
  constexpr int kLastParameterColumn = 9;
  constexpr size_t kLastParameterBytes = 28 - 12 - 3;
  static constexpr std::string_view kMarks[] = {
      gbk::kTestTime, gbk::kRemark, gbk::kWavelength, gbk::kLinear, gbk::kLog, gbk::kRange,
      gbk::kCalValue, "No",         "nm",             "dBm",        "\r",     "\n"};
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int col = 0; col < table.ColumnCount(); ++col) {
      const std::string_view cell = table.Cell(row, col);
      for (const std::string_view mark : kMarks) {
        if (cell.find(mark) != std::string_view::npos) return false;
      }
      if (kType == datafile::FileType::Syf && col == kLastParameterColumn &&
          cell.size() > kLastParameterBytes) {
        return false;
      }
      const size_t w = cell.find('W');
      if (w != std::string_view::npos && !(col == 2 && w + 1 == cell.size())) return false;
    }
  }
  return true;
}

// The saved file gives back every row with the same cells; the file puts
// blanks after some cells (and .ref drops a cell's own trailing ones), so
// cells are compared without their trailing white space.
bool SameCells(const TableModel& before, const TableModel& after) {
  if (before.RowCount() != after.RowCount()) return false;
  for (int row = 0; row < before.RowCount(); ++row) {
    for (int col = 0; col < before.ColumnCount(); ++col) {
      if (text::TrimRight(before.Cell(row, col)) != text::TrimRight(after.Cell(row, col))) {
        return false;
      }
    }
  }
  return true;
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
  if (CellsHoldNoMarks(page.Model()) && !SameCells(page.Model(), again.Model())) __builtin_trap();
  return 0;
}
