// The job report on a recording device: each verdict's colour, the mark that
// tells PASS from FAIL on a printer without colour, and texts that stay inside
// the margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "jobs/Capture.h"
#include "jobs/JobReport.h"

namespace {

// Records texts and lines with the colour they were drawn in. A byte is half
// as wide as the font is high.
class ColourRecorder : public report::IReportDevice {
 public:
  struct Mark {
    int y1, y2, x1, x2;
    report::Color color;
  };
  struct Text {
    int y;
    std::string text;
    report::Color color;
  };

  bool ChoosePrinter() override { return true; }
  void SetOrientation(report::Orientation o) override { m_landscape = o == report::Orientation::Landscape; }
  int VerticalResolution() const override { return 600; }
  bool StartDocument(const std::string&) override { return true; }
  // A4 at 600 pixels per inch.
  int PageWidth() const override { return m_landscape ? 7016 : 4960; }
  int PageHeight() const override { return m_landscape ? 4960 : 7016; }
  bool StartPage() override { return true; }
  bool EndPage() override { return true; }
  bool EndDocument() override { return true; }
  void AbortDocument() override {}
  int CreateFont(const report::FontSpec& wanted) override {
    m_heights.push_back(wanted.pixelHeight);
    return static_cast<int>(m_heights.size()) - 1;
  }
  void SelectFont(int font) override { m_height = m_heights.at(static_cast<size_t>(font)); }
  report::TextExtent MeasureText(std::string_view gbk) override {
    return {static_cast<int>(gbk.size()) * m_height / 2, m_height};
  }
  void DrawText(int, int y, std::string_view gbk, const report::Rect&) override {
    texts.push_back({y, std::string(gbk), m_color});
  }
  void DrawText(int x, int y, std::string_view gbk) override {
    texts.push_back({y, std::string(gbk), m_color});
    widest = std::max(widest, x + MeasureText(gbk).width);
  }
  void DrawLine(int x1, int y1, int x2, int y2, report::PenStyle) override {
    if (y1 != y2) marks.push_back({y1, y2, x1, x2, m_color});  // rules are level
  }
  void SetColor(const report::Color& color) override { m_color = color; }

  const Text* Find(const std::string& text) const {
    for (const Text& t : texts) {
      if (t.text == text) return &t;
    }
    return nullptr;
  }

  std::vector<Text> texts;
  std::vector<Mark> marks;
  int widest = 0;  // where the widest uncut text ends

 private:
  bool m_landscape = false;
  std::vector<int> m_heights;
  int m_height = 0;
  report::Color m_color = report::kBlack;
};

enum class Shape { None, Tick, Cross };

struct VerdictCase {
  const char* point;
  int nm;
  double dbm;  // NAN: untested
  const char* word;
  report::Color color;
  Shape mark;
};

// GPON B+: 1310 nm from -28 to -8 dBm, margin 2 dB; no limit at 1550 nm.
const VerdictCase kCases[] = {
    {"A-pass", 1310, -20.0, "PASS", {0, 0, 0}, Shape::Tick},
    {"B-marginal", 1310, -27.0, "MARGINAL", {0xD0, 0x80, 0x00}, Shape::Tick},
    {"C-fail", 1310, -28.5, "FAIL", {0xC0, 0x00, 0x00}, Shape::Cross},
    {"D-nolimit", 1550, -20.0, "NO LIMIT", {0, 0, 0}, Shape::None},
    {"E-untested", 0, 0, "Untested", {0, 0, 0}, Shape::None},
};

TEST(JobReport, EachVerdictHasItsColourAndAMarkThatNeedsNoColour) {
  jobs::Job job;
  job.name = "J";
  job.profile = jobs::BuiltInProfiles().at(0);
  std::vector<std::string> points;
  std::vector<jobs::Result> results;
  for (const VerdictCase& c : kCases) {
    points.push_back(c.point);
    if (c.nm) results.push_back(jobs::ResultOf(job, c.point, c.nm, {c.dbm}, 0));
  }
  ColourRecorder device;
  jobs::JobReportRequest request;
  request.job = job;
  request.rows = jobs::JobRows(points, results);
  ASSERT_EQ(jobs::PrintJobReport(device, request), jobs::JobReportOutcome::Printed);

  for (const VerdictCase& c : kCases) {
    SCOPED_TRACE(c.point);
    const ColourRecorder::Text* label = device.Find(c.point);
    ASSERT_NE(label, nullptr);
    const ColourRecorder::Text* word = nullptr;
    for (const ColourRecorder::Text& t : device.texts) {
      if (t.y == label->y && t.text == c.word) word = &t;
    }
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->color, c.color);
    if (c.nm) {
      char value[16];
      std::snprintf(value, sizeof value, "%.2f", c.dbm);
      const ColourRecorder::Text* shown = device.Find(value);
      ASSERT_NE(shown, nullptr);
      EXPECT_EQ(shown->color, c.color) << value;
    }
    // The mark's strokes lie within the row's line; a cross's strokes are
    // diagonals of one square, a tick's are not.
    std::vector<ColourRecorder::Mark> strokes;
    for (const ColourRecorder::Mark& m : device.marks) {
      if (std::min(m.y1, m.y2) >= label->y && std::max(m.y1, m.y2) <= label->y + 100) strokes.push_back(m);
    }
    Shape shape = Shape::None;
    if (!strokes.empty()) {
      shape = Shape::Cross;
      for (const ColourRecorder::Mark& m : strokes) {
        if (std::abs(m.x2 - m.x1) != std::abs(m.y2 - m.y1)) shape = Shape::Tick;
        EXPECT_EQ(m.color, c.color);
      }
    }
    EXPECT_EQ(shape, c.mark);
  }
}

// No text passes the right margin (36 points) of a portrait or a landscape
// page, with the stamps as the store keeps them and a long note: a header line
// breaks between its parts first, so the printing time stays whole.
TEST(JobReport, EveryTextEndsInsideTheRightMargin) {
  for (const std::vector<int>& wavelengths : {std::vector<int>{1310, 1550}, std::vector<int>{1310, 1490, 1550, 1625}}) {
    jobs::JobReportRequest request;
    request.job.name = "Street 5";
    request.job.created = "2026-12-07T08:00:00+01:00";
    request.job.notes = std::string(30, 'x') + " " + std::string(300, 'y');
    request.printed = "2026-12-08T10:40:00+01:00";
    std::vector<jobs::Result> results;
    for (int nm : wavelengths) {
      results.push_back(jobs::ResultOf(request.job, "P01", nm, {-20.0}, 0));
      results.back().measured = "2026-12-07T09:1" + std::to_string(results.size()) + ":00+01:00";
    }
    request.rows = jobs::JobRows({"P01"}, results);
    ColourRecorder device;
    ASSERT_EQ(jobs::PrintJobReport(device, request), jobs::JobReportOutcome::Printed);
    EXPECT_LE(device.widest, device.PageWidth() - 300) << wavelengths.size();
    EXPECT_TRUE(std::any_of(device.texts.begin(), device.texts.end(), [](const ColourRecorder::Text& t) {
      return t.text.find("Printed: 2026-12-08T10:40:00+01:00") != std::string::npos;
    }));
  }
}

}  // namespace
