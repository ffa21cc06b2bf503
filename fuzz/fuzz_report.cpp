// The print engine on a recording device of arbitrary resolution and page
// size: either the test report of a table of arbitrary cells, or the engine's
// operations in any order with any values. The report draws nothing outside a
// started page and never starts a page twice.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz/FuzzTable.h"
#include "print/TestReport.h"

namespace {

// A byte is half as wide as the font is high; the line is as high as the font.
class RecordingDevice : public report::IReportDevice {
 public:
  RecordingDevice(int dpi, int width, int height) : m_dpi(dpi), m_width(width), m_height(height) {}

  bool ChoosePrinter() override { return true; }
  void SetOrientation(report::Orientation) override {}
  int VerticalResolution() const override { return m_dpi; }
  bool StartDocument(const std::string&) override { return true; }
  int PageWidth() const override { return m_width; }
  int PageHeight() const override { return m_height; }
  bool StartPage() override {
    if (strict && m_bPageOpen) __builtin_trap();
    m_bPageOpen = true;
    ++pages;
    return true;
  }
  bool EndPage() override {
    if (strict && !m_bPageOpen) __builtin_trap();
    m_bPageOpen = false;
    return true;
  }
  bool EndDocument() override {
    if (strict && m_bPageOpen) __builtin_trap();
    return true;
  }
  void AbortDocument() override { m_bPageOpen = false; }
  int CreateFont(const report::FontSpec& wanted) override {
    m_fonts.push_back(wanted);
    return static_cast<int>(m_fonts.size()) - 1;
  }
  void SelectFont(int font) override { m_font = m_fonts.at(static_cast<size_t>(font)); }
  report::TextExtent MeasureText(std::string_view gbk) override {
    return {static_cast<int>(gbk.size()) * (m_font.pixelHeight / 2), m_font.pixelHeight};
  }
  void DrawText(int, int, std::string_view, const report::Rect&) override { Drawn(); }
  void DrawText(int, int, std::string_view) override { Drawn(); }
  void DrawLine(int, int, int, int, report::PenStyle) override { Drawn(); }

  int pages = 0;
  // The report keeps the page rules; the bare engine leaves them to its caller.
  bool strict = true;

 private:
  void Drawn() const {
    if (strict && !m_bPageOpen) __builtin_trap();
  }
  int m_dpi, m_width, m_height;
  bool m_bPageOpen = false;
  std::vector<report::FontSpec> m_fonts;
  report::FontSpec m_font;
};

}  // namespace

namespace {

void RunEngine(FuzzedDataProvider& in, report::IReportDevice& device) {
  CReportPrinter printer(device);
  while (in.remaining_bytes() > 0) {
    const int set = in.ConsumeIntegralInRange(-1, CReportPrinter::kMaxFontSets);
    switch (in.ConsumeIntegralInRange(0, 13)) {
      case 0: printer.ChoosePrinter(); break;
      case 1: printer.SetOrientation(in.ConsumeIntegralInRange(0, 3)); break;
      case 2:
        printer.AddFontSet(in.ConsumeRandomLengthString(16), in.ConsumeIntegralInRange(-10, 200),
                           in.ConsumeIntegralInRange(-10, 200));
        break;
      case 3:
        printer.SetMargins(in.ConsumeIntegralInRange(-1, 2000), in.ConsumeIntegralInRange(-1, 20000),
                           in.ConsumeIntegralInRange(-1, 20000), in.ConsumeIntegralInRange(-1, 20000));
        break;
      case 4: printer.SetLineSpacing(in.ConsumeIntegralInRange(-10, 200)); break;
      case 5: printer.StartDocument(in.ConsumeRandomLengthString(32)); break;
      case 6: printer.StartPage(); break;
      case 7: printer.EndPage(); break;
      case 8: printer.SelectFont(set, in.ConsumeIntegralInRange(-1, 4)); break;
      case 9: printer.PrintText(set, in.ConsumeRandomLengthString(600), in.ConsumeBool()); break;
      case 10: printer.DrawRule(report::PenStyle::Dash); break;
      case 11: {
        std::vector<int> widths(in.ConsumeIntegralInRange(0, CReportPrinter::kMaxColumns + 2));
        for (int& w : widths) w = in.ConsumeIntegralInRange(-100, 3000);
        printer.SetColumns(widths);
        printer.SetColumnGap(in.ConsumeIntegralInRange(-100, 500));
        break;
      }
      case 12: {
        std::vector<std::string> cells(in.ConsumeIntegralInRange(0, CReportPrinter::kMaxColumns + 2));
        for (std::string& cell : cells) cell = in.ConsumeRandomLengthString(600);
        printer.PrintTableRow(set, cells);
        break;
      }
      default: printer.ResetTable(); break;
    }
  }
  printer.EndDocument();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool engine = in.ConsumeBool();
  const int dpi = in.ConsumeIntegralInRange(1, 2400);
  const int width = in.ConsumeIntegralInRange(0, 20000);
  const int height = in.ConsumeIntegralInRange(0, 30000);
  RecordingDevice device(dpi, width, height);
  if (engine) {
    device.strict = false;
    RunEngine(in, device);
    return 0;
  }
  const std::string title = in.ConsumeRandomLengthString(200);
  TablePage page = fuzz::MakePage(in.ConsumeBool());
  fuzz::FillTable(in, page.Model());
  CTestReport(device).Print(page.Model(), title);
  return 0;
}
