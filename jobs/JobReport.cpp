#include "jobs/JobReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "common/Gbk.h"
#include "field/LiveLog.h"
#include "field/VerdictWords.h"

namespace jobs {

namespace {

constexpr const char* kFace = "宋体";
// The program and its version, in every page's footer.
constexpr const char* kProgram = "km360r 1.0";
// More wavelengths than this do not fit across a portrait page.
constexpr size_t kPortraitWavelengths = 3;

struct Texts {
  const char* title;
  const char* job;
  const char* site;
  const char* operatorName;
  const char* notes;
  const char* created;
  const char* measured;
  const char* printed;
  const char* profile;
  const char* margin;
  const char* lossBudget;
  const char* references;
  const char* none;
  const char* to;
  const char* upTo;
  const char* from;
  const char* points;
  const char* untested;
  const char* point;
  const char* loss;
  const char* verdict;
  const char* pageOf;  // printf with the page and the count
};

constexpr Texts kEnglish = {
    "Test Job Report", "Job", "Site", "Operator", "Notes", "Created", "Measured", "Printed",
    "Profile", "margin", "Loss budget", "References", "none", "to", "up to", "from",
    "Points", "Untested", "Point", "loss", "Verdict",
    "Page %d of %d",
};

constexpr Texts kChinese = {
    "测试任务报告", "任务", "地点", "操作员", "备注", "创建", "测量", "打印",
    "阈值配置", "余量", "损耗预算", "参考值", "无", "至", "不大于", "不小于",
    "测试点", "未测试", "测试点", "损耗", "结论",
    "第 %d 页，共 %d 页",
};

int Rank(Verdict v) {
  switch (v) {
    case Verdict::NoLimit: return 0;
    case Verdict::Pass: return 1;
    case Verdict::Marginal: return 2;
    case Verdict::Fail: return 3;
  }
  return 0;
}

const std::string& VerdictWord(const field::VerdictWords& w, Verdict v) {
  switch (v) {
    case Verdict::Pass: return w.pass;
    case Verdict::Marginal: return w.marginal;
    case Verdict::Fail: return w.fail;
    case Verdict::NoLimit: break;
  }
  return w.noLimit;
}

report::Color ColorOf(std::optional<Verdict> v) {
  if (v == Verdict::Fail) return kFailColor;
  if (v == Verdict::Marginal) return kMarginalColor;
  return report::kBlack;
}

std::string RangeText(const Texts& t, const Range& r, const char* unit) {
  if (r.low && r.high) return FormatDb(*r.low) + " " + t.to + " " + FormatDb(*r.high) + " " + unit;
  if (r.high) return std::string(t.upTo) + " " + FormatDb(*r.high) + " " + unit;
  if (r.low) return std::string(t.from) + " " + FormatDb(*r.low) + " " + unit;
  return t.none;
}

// One printed row: a point and its latest result per wavelength.
struct PrintedPoint {
  std::string label;
  std::map<int, Result> byWavelength;
  std::optional<Verdict> worst;  // nullopt: untested
};

std::vector<PrintedPoint> PrintedPoints(const std::vector<JobRow>& rows) {
  std::vector<PrintedPoint> out;
  for (const JobRow& row : rows) {
    // JobRows keeps a point's results together, in job order.
    if (out.empty() || out.back().label != row.point) out.push_back({row.point, {}, std::nullopt});
    PrintedPoint& p = out.back();
    if (!row.result) continue;
    p.byWavelength[row.result->wavelengthNm] = *row.result;
    p.worst = p.worst ? Worst(*p.worst, row.result->verdict) : row.result->verdict;
  }
  return out;
}

// The wavelengths of the table: those the profile judges, those with a
// reference, and those measured.
std::vector<int> Wavelengths(const Job& job, const std::vector<PrintedPoint>& points) {
  std::set<int> nm;
  for (const auto& [w, range] : job.profile.limits) nm.insert(w);
  for (const auto& [w, ref] : job.referencesDbm) nm.insert(w);
  for (const PrintedPoint& p : points) {
    for (const auto& [w, r] : p.byWavelength) nm.insert(w);
  }
  return {nm.begin(), nm.end()};
}

// The earliest and the latest measurement, as "first - last".
std::string MeasuredSpan(const std::vector<JobRow>& rows) {
  std::string first;
  std::string last;
  for (const JobRow& row : rows) {
    if (!row.result || row.result->measured.empty()) continue;
    if (first.empty() || row.result->measured < first) first = row.result->measured;
    if (last.empty() || row.result->measured > last) last = row.result->measured;
  }
  if (first.empty()) return "";
  return first == last ? first : first + " - " + last;
}

struct Column {
  std::string title;
  int x = 0;
  int width = 0;
};

class Drawer {
 public:
  Drawer(report::IReportDevice& device, const JobReportRequest& request)
      : m_device(device), m_request(request), m_t(request.chinese ? kChinese : kEnglish),
        m_words(field::VerdictWords::For(request.chinese)) {}

  JobReportOutcome Print() {
    if (!m_device.ChoosePrinter()) return JobReportOutcome::Cancelled;
    m_points = PrintedPoints(m_request.rows);
    m_wavelengths = Wavelengths(m_request.job, m_points);
    m_device.SetOrientation(m_wavelengths.size() > kPortraitWavelengths ? report::Orientation::Landscape
                                                                        : report::Orientation::Portrait);
    m_dpi = std::max(1, m_device.VerticalResolution());
    m_fontTitle = m_device.CreateFont({kFace, Px(14), 700});
    m_fontBody = m_device.CreateFont({kFace, Px(8), 400});
    m_fontBold = m_device.CreateFont({kFace, Px(8), 700});
    m_fontSmall = m_device.CreateFont({kFace, Px(7), 400});
    if (!m_device.StartDocument(m_request.job.name)) return Fail();
    Layout();
    for (int page = 1; page <= m_pages; ++page) {
      if (!m_device.StartPage()) return Fail();
      DrawPage(page);
      if (!m_device.EndPage()) return Fail();
    }
    if (!m_device.EndDocument()) return Fail();
    return JobReportOutcome::Printed;
  }

 private:
  int Px(double points) const { return static_cast<int>(std::lround(points * m_dpi / 72.0)); }

  JobReportOutcome Fail() {
    m_device.AbortDocument();
    return JobReportOutcome::Failed;
  }

  int Width(int font, const std::string& utf8) {
    Select(font);
    return m_device.MeasureText(gbk::FromUtf8(utf8)).width;
  }

  void Text(int font, int x, int y, const std::string& utf8, report::Color color = report::kBlack) {
    Select(font);
    Paint(color);
    m_device.DrawText(x, y, gbk::FromUtf8(utf8));
  }

  void Rule(int y) {
    Paint(report::kBlack);
    m_device.DrawLine(m_left, y, m_right, y, report::PenStyle::Solid);
  }

  // Each header line as its parts; a line the page cannot hold breaks
  // between them first (FitWidth).
  std::vector<std::vector<std::string>> HeaderLines() const {
    const Job& job = m_request.job;
    const Texts& t = m_t;
    const auto line = [](const char* label, const std::string& value) { return std::string(label) + ": " + value; };
    std::vector<std::vector<std::string>> lines = {{line(t.job, job.name)}, {line(t.site, job.site)},
                                                   {line(t.operatorName, job.operatorName)}};
    if (!job.notes.empty()) lines.push_back({line(t.notes, job.notes)});
    lines.push_back({line(t.created, job.created), line(t.measured, MeasuredSpan(m_request.rows)),
                     line(t.printed, m_request.printed)});
    lines.push_back({line(t.profile, job.profile.name) + "  (" + t.margin + " " +
                     FormatDb(job.profile.marginDb) + " dB)"});
    for (const auto& [nm, range] : job.profile.limits) {
      lines.push_back({"    " + std::to_string(nm) + " nm: " + RangeText(t, range, "dBm")});
    }
    if (job.profile.lossBudget.low || job.profile.lossBudget.high) {
      lines.push_back({"    " + line(t.lossBudget, RangeText(t, job.profile.lossBudget, "dB"))});
    }
    std::vector<std::string> refs;
    for (const auto& [nm, dbm] : job.referencesDbm) {
      refs.push_back(std::to_string(nm) + " nm " + FormatDb(dbm) + " dBm" +
                     (refs.size() + 1 < job.referencesDbm.size() ? "," : ""));
    }
    if (refs.empty()) refs.push_back(t.none);
    refs.front() = std::string(t.references) + ": " + refs.front();
    lines.push_back(refs);
    return lines;
  }

  // The lines as the margins let them stand, in the body font: parts are
  // joined by four blanks while the line fits, and a part wider than the
  // page breaks at its last blank that fits, or between two characters.
  std::vector<std::string> FitWidth(const std::vector<std::vector<std::string>>& lines) {
    const int width = m_right - m_left;
    std::vector<std::string> fitted;
    for (const std::vector<std::string>& parts : lines) {
      std::string line;
      for (const std::string& part : parts) {
        const std::string joined = line.empty() ? part : line + "    " + part;
        if (!line.empty() && Width(m_fontBody, joined) > width) {
          Break(line, width, fitted);
          line = part;
        } else {
          line = joined;
        }
      }
      Break(line, width, fitted);
    }
    return fitted;
  }

  void Break(std::string text, int width, std::vector<std::string>& out) {
    while (Width(m_fontBody, text) > width) {
      // The longest start that fits, ending on a whole UTF-8 character.
      size_t end = 0;
      for (size_t next = 1; next <= text.size(); ++next) {
        if (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) continue;
        if (Width(m_fontBody, text.substr(0, next)) > width) break;
        end = next;
      }
      if (end == 0) break;  // not one character fits: the text stands as it is
      // A blank of the indentation is no place to break.
      const size_t blank = text.rfind(' ', end);
      const size_t first = text.find_first_not_of(' ');
      const size_t cut = blank != std::string::npos && first != std::string::npos && blank > first ? blank : end;
      out.push_back(text.substr(0, cut));
      const size_t rest = text.find_first_not_of(' ', cut);
      text = rest == std::string::npos ? std::string() : text.substr(rest);
    }
    if (!text.empty() || out.empty()) out.push_back(text);
  }

  std::string SummaryLine() const {
    const ReportSummary s = SummaryOf(m_request.rows);
    const auto part = [](const std::string& label, int n) { return label + " " + std::to_string(n); };
    std::string text = part(m_t.points, s.points) + "    " + part(m_words.pass, s.pass) + "    " +
                       part(m_words.marginal, s.marginal) + "    " + part(m_words.fail, s.fail);
    if (s.noLimit) text += "    " + part(m_words.noLimit, s.noLimit);
    return text + "    " + part(m_t.untested, s.untested);
  }

  // Columns, line heights and the page count, before anything is drawn, so
  // that every footer can say how many pages there are.
  void Layout() {
    m_left = Px(36);
    m_right = m_device.PageWidth() - Px(36);
    m_top = Px(36);
    m_footerTop = m_device.PageHeight() - Px(48);
    Select(m_fontBody);
    m_line = m_device.MeasureText("0").height + Px(3);
    Select(m_fontTitle);
    m_titleLine = m_device.MeasureText("0").height + Px(6);
    m_header = FitWidth(HeaderLines());
    m_summary = SummaryLine();

    // Columns are measured without their gaps; the gaps share what the page
    // leaves, up to a comfortable width each.
    const int digit = Width(m_fontBody, "0");
    int labelWidth = Width(m_fontBold, m_t.point);
    const int labelCap = (m_right - m_left) / 4;
    for (const PrintedPoint& p : m_points) {
      labelWidth = std::max(labelWidth, Width(m_fontBody, p.label));
      if (labelWidth > labelCap) break;
    }
    m_cutLabels = labelWidth > labelCap;
    m_columns.push_back({m_t.point, 0, std::min(labelWidth, labelCap)});
    for (int nm : m_wavelengths) {
      const std::string w = std::to_string(nm);
      for (const auto& [title, chars] : {std::pair<std::string, int>{w + " dBm", 7}, {w + " mW", 9},
                                         {w + " " + m_t.loss + " dB", 6}}) {
        m_columns.push_back({title, 0, std::max(Width(m_fontBold, title), chars * digit)});
      }
    }
    m_markSize = m_line * 3 / 5;
    int verdictWidth = Width(m_fontBold, m_t.verdict);
    for (const std::string& word : {m_words.pass, m_words.marginal, m_words.fail, m_words.noLimit,
                                    std::string(m_t.untested)}) {
      verdictWidth = std::max(verdictWidth, m_markSize + Px(4) + Width(m_fontBody, word));
    }
    m_columns.push_back({m_t.verdict, 0, verdictWidth});
    int used = 0;
    for (const Column& c : m_columns) used += c.width;
    const int gaps = static_cast<int>(m_columns.size()) - 1;
    const int gap = std::clamp((m_right - m_left - used) / gaps, Px(2), Px(8));
    for (size_t i = 0; i + 1 < m_columns.size(); ++i) m_columns[i].width += gap;
    int x = m_left;
    for (Column& c : m_columns) {
      c.x = x;
      x += c.width;
    }

    const int tableTitle = m_line + Px(3);
    const int firstTop = m_top + m_titleLine + Px(6) + static_cast<int>(m_header.size()) * m_line + 3 * m_line;
    const int bottom = m_footerTop - Px(6);
    m_firstRows = std::max(0, (bottom - firstTop - tableTitle) / m_line);
    m_laterRows = std::max(1, (bottom - m_top - tableTitle) / m_line);
    const int n = static_cast<int>(m_points.size());
    m_pages = n <= m_firstRows ? 1 : 1 + (n - m_firstRows + m_laterRows - 1) / m_laterRows;
  }

  void DrawPage(int page) {
    int y = m_top;
    size_t first = 0;
    size_t count = static_cast<size_t>(m_firstRows);
    if (page == 1) {
      Text(m_fontTitle, m_left, y, m_t.title);
      y += m_titleLine;
      Rule(y);
      y += Px(6);
      for (const std::string& line : m_header) {
        Text(m_fontBody, m_left, y, line);
        y += m_line;
      }
      y += m_line;
      Text(m_fontBold, m_left, y, m_summary);
      y += 2 * m_line;
    } else {
      first = static_cast<size_t>(m_firstRows) + static_cast<size_t>(page - 2) * static_cast<size_t>(m_laterRows);
      count = static_cast<size_t>(m_laterRows);
    }
    const size_t end = std::min(m_points.size(), first + count);
    if (first < end || page == 1) y = DrawTable(y, first, end);
    DrawFooter(page);
  }

  int DrawTable(int y, size_t first, size_t end) {
    for (const Column& c : m_columns) Cell(m_fontBold, c, y, c.title, report::kBlack);
    y += m_line;
    Rule(y);
    y += Px(3);
    for (size_t i = first; i < end; ++i) {
      DrawRow(m_points[i], y);
      y += m_line;
    }
    return y;
  }

  // A cell's text; cut at the column's end only where it can be wider, since
  // each cut costs the document a clip of its own.
  void Cell(int font, const Column& c, int y, const std::string& utf8, report::Color color, bool cut = false) {
    Select(font);
    Paint(color);
    if (cut) {
      m_device.DrawText(c.x, y, gbk::FromUtf8(utf8), {c.x, y, c.x + c.width, y + m_line});
    } else {
      m_device.DrawText(c.x, y, gbk::FromUtf8(utf8));
    }
  }

  // Font and colour are handed to the device only when they change.
  void Select(int font) {
    if (font != m_selected) m_device.SelectFont(font);
    m_selected = font;
  }
  void Paint(report::Color color) {
    if (!m_painted || color != *m_painted) m_device.SetColor(color);
    m_painted = color;
  }

  void DrawRow(const PrintedPoint& p, int y) {
    Cell(m_fontBody, m_columns[0], y, p.label, report::kBlack, m_cutLabels);
    size_t col = 1;
    for (int nm : m_wavelengths) {
      const auto it = p.byWavelength.find(nm);
      if (it != p.byWavelength.end()) {
        const Result& r = it->second;
        const report::Color color = ColorOf(r.verdict);
        Cell(m_fontBody, m_columns[col], y, FormatDb(r.powerDbm), color);
        Cell(m_fontBody, m_columns[col + 1], y, FormatMilliwatts(r.powerMw), color);
        if (r.lossDb) Cell(m_fontBody, m_columns[col + 2], y, FormatDb(*r.lossDb), color);
      }
      col += 3;
    }
    const Column& v = m_columns.back();
    const report::Color color = ColorOf(p.worst);
    if (p.worst == Verdict::Pass || p.worst == Verdict::Marginal || p.worst == Verdict::Fail) {
      DrawMark(v.x, y + (m_line - Px(3) - m_markSize) / 2, *p.worst != Verdict::Fail, color);
    }
    const Column word{"", v.x + m_markSize + Px(4), v.width - m_markSize - Px(4)};
    Cell(m_fontBody, word, y, p.worst ? VerdictWord(m_words, *p.worst) : std::string(m_t.untested), color);
  }

  // A tick for a point within its limits, a cross for one outside, drawn as
  // lines so that they print on any printer in any font, in colour or not.
  void DrawMark(int x, int y, bool tick, report::Color color) {
    Paint(color);
    const int s = m_markSize;
    const int strokes = std::max(1, m_dpi / 150);  // about a sixth of a millimetre thick
    for (int k = 0; k < strokes; ++k) {
      if (tick) {
        m_device.DrawLine(x + k, y + s / 2, x + s / 3 + k, y + s, report::PenStyle::Solid);
        m_device.DrawLine(x + s / 3 + k, y + s, x + s + k, y, report::PenStyle::Solid);
      } else {
        m_device.DrawLine(x + k, y, x + s + k, y + s, report::PenStyle::Solid);
        m_device.DrawLine(x + s + k, y, x + k, y + s, report::PenStyle::Solid);
      }
    }
  }

  void DrawFooter(int page) {
    Rule(m_footerTop);
    char text[96];
    std::snprintf(text, sizeof text, m_t.pageOf, page, m_pages);
    const int y = m_footerTop + Px(3);
    Text(m_fontSmall, m_left, y, text);
    Text(m_fontSmall, m_right - Width(m_fontSmall, kProgram), y, kProgram);
  }

  report::IReportDevice& m_device;
  const JobReportRequest& m_request;
  const Texts& m_t;
  const field::VerdictWords m_words;
  std::vector<PrintedPoint> m_points;
  std::vector<int> m_wavelengths;
  std::vector<std::string> m_header;
  std::string m_summary;
  std::vector<Column> m_columns;
  int m_dpi = 0;
  int m_fontTitle = -1;
  int m_fontBody = -1;
  int m_fontBold = -1;
  int m_fontSmall = -1;
  int m_left = 0;
  int m_right = 0;
  int m_top = 0;
  int m_footerTop = 0;
  int m_line = 0;
  int m_titleLine = 0;
  int m_markSize = 0;
  bool m_cutLabels = false;
  int m_selected = -1;
  std::optional<report::Color> m_painted;
  int m_firstRows = 0;
  int m_laterRows = 1;
  int m_pages = 1;
};

}  // namespace

Verdict Worst(Verdict a, Verdict b) { return Rank(a) >= Rank(b) ? a : b; }

ReportSummary SummaryOf(const std::vector<JobRow>& rows) {
  ReportSummary s;
  for (const PrintedPoint& p : PrintedPoints(rows)) {
    ++s.points;
    if (!p.worst) {
      ++s.untested;
      continue;
    }
    switch (*p.worst) {
      case Verdict::Pass: ++s.pass; break;
      case Verdict::Marginal: ++s.marginal; break;
      case Verdict::Fail: ++s.fail; break;
      case Verdict::NoLimit: ++s.noLimit; break;
    }
  }
  return s;
}

JobReportOutcome PrintJobReport(report::IReportDevice& device, const JobReportRequest& request) {
  return Drawer(device, request).Print();
}

std::optional<JobReportRequest> StoredJobReport(IResultsReader& store, const std::string& name, bool chinese,
                                                std::time_t now) {
  std::optional<Job> job = store.FindJob(name);
  if (!job) return std::nullopt;
  JobReportRequest request;
  request.rows = JobRows(store.Points(name), store.LatestResults(name));
  request.job = std::move(*job);
  request.chinese = chinese;
  request.printed = field::IsoLocalTime(now);
  return request;
}

std::string JobReportFailureText(bool chinese) {
  return chinese ? "任务报告打印失败。" : "The job report could not be printed.";
}

std::string JobReportFileText(bool chinese, const std::string& path) {
  return (chinese ? "任务报告已打印到文件：" : "The job report was printed to the file ") + path;
}

}  // namespace jobs
