// Writes the fuzz targets' seed corpora into the directory given: records as
// the simulated meter sends them, the streams of each exchange, the data files
// the table page saves from them, and config.ini variants. Run it again when a
// record layout changes.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/meters/km360r/Km360r.h"
#include "fuzz/FuzzTable.h"
#include "fuzz/SeedRecords.h"
#include "table/DataFiles.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& dir, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

std::string Joined(const std::vector<std::string>& records) {
  std::string all;
  for (const std::string& r : records) all += r;
  return all;
}

// The file the table page saves after showing `records` as `kind`.
std::string SavedFile(const std::vector<std::string>& records, DataKind kind, Layout layout,
                      datafile::FileType type) {
  TablePage page = fuzz::MakePage(true);
  page.ApplyLayout(layout);
  int rows = 0;
  for (const std::string& r : records) page.ShowReply(meter::ReadRecord(meters::km360r::Model(), r), kind, rows);
  return datafile::Compose(page.Model(), type);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path out = argv[1];

  const seeds::Records records = seeds::MeterRecords();
  const std::vector<std::string>& realTime = records.realTime;
  const std::vector<std::string>& history = records.history;
  const std::vector<std::string>& parameters = records.parameters;
  const std::vector<std::string>& settings = records.settings;

  int n = 0;
  for (const auto* group : {&realTime, &history, &parameters, &settings}) {
    for (const std::string& r : *group) Write(out / "fuzz_records", std::to_string(++n), r);
  }

  // The assembler's first byte picks the data kind (see its target).
  const struct {
    char kind;
    std::string stream;
  } streams[] = {{0, "?" + Joined(realTime)},
                 {1, Joined(history)},
                 {2, settings[0]},
                 {3, Joined(parameters)},
                 {4, settings[3] + settings[4]},
                 {5, settings[1]},
                 {6, settings[2]},
                 {char(0x81), std::string("\0\0", 2) + realTime[0] + "?" + history[0]}};
  n = 0;
  for (const auto& s : streams) {
    Write(out / "fuzz_reply_assembler", std::to_string(++n), s.kind + s.stream);
  }

  const std::string ref =
      SavedFile(realTime, DataKind::RealTime, Layout::Measurement, datafile::FileType::Ref);
  const std::string hif =
      SavedFile(history, DataKind::History, Layout::Measurement, datafile::FileType::Hif);
  const std::string syf =
      SavedFile(parameters, DataKind::Parameters, Layout::Parameters, datafile::FileType::Syf);
  Write(out / "fuzz_ref_file", "1", ref);
  Write(out / "fuzz_hif_file", "1", hif);
  Write(out / "fuzz_syf_file", "1", syf);
  // The table writers and the report take tables of cells: the files' bytes
  // give them realistic texts to start from.
  for (const char* target : {"fuzz_csv_writer", "fuzz_workbook_writer", "fuzz_report"}) {
    Write(out / target, "1", ref);
    Write(out / target, "2", hif);
    Write(out / target, "3", syf);
  }

  // Empty section and key strings, then the file; the last byte asks for the
  // real setting.
  const std::string ini = "[config]\r\nlanguage=1\r\n";
  Write(out / "fuzz_config_reader", "1", "\\ \\ " + ini + "\x01");
  Write(out / "fuzz_config_reader", "2", "\\ \\ [config]\nlanguage=31\n\x01");
  Write(out / "fuzz_config_reader", "3", "config\\ language\\ " + ini + std::string(1, '\0'));
  return 0;
}
