// Exporting a table of 60,000 real-time readings (target: under 1 s each) as
// an Excel 97-2003 workbook and as a CSV file, through the same calls as the
// Export command. Every row is unique (its number and time), so the shared
// string table is as large as it gets for such a table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "common/Gbk.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

namespace {

std::string TempPath(const std::string& name) {
  return "/tmp/km360r_bench_" + std::to_string(::getpid()) + "_" + name;
}

// The real-time layout with `rows` readings, every third one described.
void FillReadings(TablePage& page, int rows) {
  page.ApplyLayout(Layout::Measurement);
  TableModel& t = page.Model();
  TableModel::BulkUpdate bulk(t);
  const std::string described = gbk::FromUtf8("机房A, 1号配线架");
  for (int r = 0; r < rows; ++r) {
    t.InsertRow(r, std::to_string(r + 1));
    t.SetCell(r, 1, "1310");
    t.SetCell(r, 2, std::to_string(10 + r % 90) + "." + std::to_string(r % 100) + "uW");
    t.SetCell(r, 3, "-" + std::to_string(10 + r % 30) + "." + std::to_string(r % 100));
    t.SetCell(r, 4, "2026/12/07 " + std::to_string(10 + r / 3600 % 14) + ":" + std::to_string(r / 60 % 60) +
                        ":" + std::to_string(r % 60));
    if (r % 3 == 0) t.SetCell(r, 5, described);
  }
}

void BM_Export(benchmark::State& state, tableexport::Target target) {
  TablePage page(FrameTexts::For(lang::Index::One), "1");
  const int rows = static_cast<int>(state.range(0));
  FillReadings(page, rows);
  const std::string path = TempPath(target == tableexport::Target::Workbook ? "export.xls" : "export.csv");
  for (auto _ : state) {
    const tableexport::Outcome o = target == tableexport::Target::Workbook
                                       ? tableexport::ExportWorkbook(page.Model(), path)
                                       : tableexport::ExportCsv(page.Model(), path);
    if (o.status != tableexport::Outcome::Status::Done) state.SkipWithError("export failed");
  }
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    state.counters["file MB"] = static_cast<double>(std::ftell(f)) / 1e6;
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * rows);
  std::remove(path.c_str());
}

void BM_ExportWorkbook(benchmark::State& state) { BM_Export(state, tableexport::Target::Workbook); }
void BM_ExportCsv(benchmark::State& state) { BM_Export(state, tableexport::Target::Csv); }

}  // namespace

BENCHMARK(BM_ExportWorkbook)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
