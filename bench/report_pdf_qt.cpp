// The test report of a 10,000-row history into a PDF file, as km360r-cli
// report and the Print command's PDF printer write it (target: under 5 s).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <string>

#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "print/TestReport.h"
#include "print/ui/PdfReport.h"
#include "table/TablePage.h"

namespace {

void FillHistory(TablePage& page, int rows) {
  TableModel& t = page.Model();
  const std::string remarks[] = {gbk::FromUtf8("机房A 配线架3"), "OLT Ethernet port 12",
                                 gbk::FromUtf8("用户端 ONU"), ""};
  for (int i = 0; i < rows; ++i) {
    const int row = t.InsertRow(i, std::to_string(i + 1));
    t.SetCell(row, 1, i % 2 ? "1550" : "1310");
    t.SetCell(row, 2, std::to_string(10 + i % 7) + ".25uW");
    t.SetCell(row, 3, "-" + std::to_string(15 + i % 9) + ".60");
    t.SetCell(row, 4, "2026/12/06 23:10:22");
    t.SetCell(row, 5, remarks[i % 4]);
  }
}

void ReportToPdf(benchmark::State& state) {
  TablePage page(FrameTexts::For(lang::Index::Zero), "0");
  FillHistory(page, static_cast<int>(state.range(0)));
  const std::string title = gbk::FromUtf8("Optical Power Meter 测试报告");
  size_t bytes = 0;
  for (auto _ : state) {
    PdfReportOutput pdf;
    if (CTestReport(pdf.Device()).Print(page.Model(), title) != report::Outcome::Printed) {
      state.SkipWithError("the report failed");
      break;
    }
    bytes = pdf.Bytes().size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ReportToPdf)->Unit(benchmark::kMillisecond)->Arg(10000)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  static int qtArgc = 3;
  static char name[] = "bench_report_pdf_qt", option[] = "-platform", platform[] = "offscreen";
  static char* qtArgv[] = {name, option, platform, nullptr};
  QGuiApplication app(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
