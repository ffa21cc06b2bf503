#include "print/ReportPrinter.h"

#include <algorithm>
#include <cmath>

#include "common/TextRules.h"

namespace {

// The lines a text wider than `available` is broken into: `count` lines, each
// built from where the previous one ended, a whole character at a time (a
// Chinese character is never cut in two), until it reaches the available
// width; a line with text after it ends after its last blank when that blank
// is one of its last bytes. What is left after the last line is dropped.
std::vector<std::string_view> WrapLines(std::string_view text, int count, int available,
                                        report::IReportDevice& device) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    size_t end = pos;
    int width = 0;
    while (end < text.size() && width < available) {
      end += text::CharLength(text, end);
      width = device.MeasureText(text.substr(pos, end - pos)).width;
    }
    if (end < text.size()) {
      const std::string_view line = text.substr(pos, end - pos);
      const size_t blank = line.rfind(' ');
      if (blank != std::string_view::npos &&
          blank + CReportPrinter::kWrapBlankReach >= line.size()) {
        end = pos + blank + 1;
      }
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return lines;
}

}  // namespace

CReportPrinter::CReportPrinter(report::IReportDevice& device) : m_device(device) {
  m_nVariant.fill(-1);
}

int CReportPrinter::Fail() {
  m_bFailed = true;
  return -1;
}

int CReportPrinter::PointsToPixels(int points) const {
  return static_cast<int>(
      std::lround(static_cast<double>(points) * m_device.VerticalResolution() / 72.0));
}

int CReportPrinter::ChoosePrinter() { return m_device.ChoosePrinter() ? 0 : -1; }

void CReportPrinter::SetOrientation(int orientation) {
  if (orientation == 1) m_device.SetOrientation(report::Orientation::Portrait);
  if (orientation == 2) m_device.SetOrientation(report::Orientation::Landscape);
}

int CReportPrinter::AddFontSet(const std::string& face, int firstPoints, int secondPoints) {
  if (static_cast<int>(m_fontSets.size()) >= kMaxFontSets) return -1;
  std::array<int, 4> fonts{};
  const int sizes[2] = {PointsToPixels(firstPoints), PointsToPixels(secondPoints)};
  for (int i = 0; i < 4; ++i) {
    fonts[static_cast<size_t>(i)] =
        m_device.CreateFont({face, sizes[i / 2], i % 2 == 0 ? 400 : 700});
  }
  m_fontSets.push_back(fonts);
  const int set = static_cast<int>(m_fontSets.size()) - 1;
  SelectFont(set, kNormal);
  return set;
}

void CReportPrinter::SetMargins(int topPoints, int bottomPixels, int leftPixels,
                                int rightPixels) {
  if (topPoints != -1) m_nTopMargin = topPoints;
  if (bottomPixels != -1) m_nBottomMargin = bottomPixels;
  if (leftPixels != -1) m_nLeftMargin = leftPixels;
  if (rightPixels != -1) m_nRightMargin = rightPixels;
  m_nCurrentY = TopPixels();
}

int CReportPrinter::StartDocument(const std::string& jobName) {
  if (m_bFailed) return -1;
  if (!m_device.StartDocument(jobName)) return Fail();
  m_bDocumentStarted = true;
  m_nPageWidth = m_device.PageWidth();
  m_nPageHeight = m_device.PageHeight();
  return 0;
}

int CReportPrinter::StartPage() {
  if (m_bFailed) return -1;
  if (!m_device.StartPage()) return Fail();
  m_nCurrentY = TopPixels();
  return 0;
}

int CReportPrinter::EndPage() {
  if (m_bFailed) return -1;
  return m_device.EndPage() ? 0 : Fail();
}

int CReportPrinter::EndDocument() {
  if (m_bFailed) return -1;
  m_bDocumentStarted = false;
  return m_device.EndDocument() ? 0 : Fail();
}

void CReportPrinter::Abort() {
  if (!m_bDocumentStarted) return;
  m_bDocumentStarted = false;
  m_device.AbortDocument();
}

int CReportPrinter::SelectFont(int set, int variant) {
  if (set < 0 || set >= static_cast<int>(m_fontSets.size()) || variant < 0 || variant > 3) {
    return -1;
  }
  m_nVariant[static_cast<size_t>(set)] = variant;
  m_nCurrentSet = set;
  m_device.SelectFont(m_fontSets[static_cast<size_t>(set)][static_cast<size_t>(variant)]);
  return 0;
}

report::TextExtent CReportPrinter::Measure(std::string_view text) {
  return m_device.MeasureText(text.empty() ? std::string_view(" ") : text);
}

bool CReportPrinter::CheckPageBreak(int height) {
  if (m_nCurrentY + SpacingPixels() + height <= m_nPageHeight - m_nBottomMargin) return true;
  // Nothing is repeated on the new page.
  return EndPage() == 0 && StartPage() == 0;
}

int CReportPrinter::PrintText(int set, std::string_view text, bool centred) {
  if (m_bFailed) return -1;
  if (set < 0 || set >= static_cast<int>(m_fontSets.size())) return -1;
  SelectFont(set, m_nVariant[static_cast<size_t>(set)]);
  const int available = m_nPageWidth - m_nLeftMargin - m_nRightMargin;
  const report::TextExtent whole = Measure(text);
  const bool wraps = available > 0 && whole.width > available;
  const std::vector<std::string_view> lines =
      wraps ? WrapLines(text, (whole.width + available - 1) / available, available, m_device)
            : std::vector<std::string_view>{text};
  for (const std::string_view line : lines) {
    int x = m_nLeftMargin;
    if (centred) {
      // A wrapped line is centred on its own width; the whole text's width
      // would push it off the left edge.
      const int width = wraps ? m_device.MeasureText(line).width : whole.width;
      x += available / 2 - width / 2;
    }
    if (!CheckPageBreak(whole.height)) return -1;
    if (!line.empty()) m_device.DrawText(x, m_nCurrentY, line);
    m_nCurrentY += SpacingPixels() + whole.height;
  }
  return 0;
}

int CReportPrinter::DrawRule(report::PenStyle style) {
  if (m_bFailed) return -1;
  m_device.DrawLine(m_nLeftMargin, m_nCurrentY, m_nPageWidth - m_nRightMargin, m_nCurrentY,
                    style);
  m_nCurrentY += SpacingPixels();
  return 0;
}

void CReportPrinter::SetColumns(const std::vector<int>& widths) {
  m_columnWidths.assign(widths.begin(),
                        widths.begin() + std::min<std::ptrdiff_t>(
                                             static_cast<std::ptrdiff_t>(widths.size()), kMaxColumns));
}

int CReportPrinter::ColumnWidth(size_t column) const {
  // A cell beyond the set columns has no room: it is cut away entirely.
  return column < m_columnWidths.size() ? m_columnWidths[column] : 0;
}

int CReportPrinter::PrintTableRow(int set, const std::vector<std::string>& cells) {
  if (m_bFailed) return -1;
  if (set < 0 || set >= static_cast<int>(m_fontSets.size())) return -1;
  SelectFont(set, m_nVariant[static_cast<size_t>(set)]);
  int x = m_nLeftMargin;
  int height = Measure("").height;
  for (size_t column = 0; column < cells.size(); ++column) {
    const std::string_view cell = cells[column];
    const report::TextExtent extent = Measure(cell);
    if (column > 0) x += m_nColumnGap;
    if (!CheckPageBreak(extent.height)) return -1;
    const int width = ColumnWidth(column);
    if (!cell.empty()) {
      m_device.DrawText(x, m_nCurrentY, cell,
                        {x, m_nCurrentY, x + width, m_nCurrentY + SpacingPixels() + extent.height});
    }
    x += width;
    height = extent.height;
  }
  m_nCurrentY += SpacingPixels() + height;
  return 0;
}
