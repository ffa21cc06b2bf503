#pragma once
// The print engine of the test report: printer choice, font sets, margins, a
// current vertical position, text lines with wrapping, horizontal rules, table
// rows with fixed column widths, and page breaks. It draws on an
// IReportDevice.
//
// Units: lengths in points (the top margin, the line spacing, font sizes) are
// turned into device pixels by the device's vertical resolution; all other
// lengths are device pixels, whatever the resolution.
//
// Operations answer 0 on success and -1 on failure. Once the document or a
// page could not be started the engine is failed: it draws nothing more, and
// Failed() says so, so that the caller can tell the operator.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "print/ReportDevice.h"

class CReportPrinter {
 public:
  static constexpr int kMaxFontSets = 10;
  static constexpr int kMaxColumns = 20;
  static constexpr int kDefaultColumnGap = 50;
  // A wrapped line ends after its last blank when that lies within this many
  // bytes of its end.
  static constexpr int kWrapBlankReach = 20;

  // Font variants within a set.
  static constexpr int kNormal = 0;
  static constexpr int kBold = 1;
  static constexpr int kNormalSecond = 2;
  static constexpr int kBoldSecond = 3;

  explicit CReportPrinter(report::IReportDevice& device);

  int ChoosePrinter();
  // 1 portrait, 2 landscape; other values are ignored.
  void SetOrientation(int orientation);
  // Returns the set's number, or -1 when all sets exist.
  int AddFontSet(const std::string& face, int firstPoints, int secondPoints);
  // -1 keeps a value. Current y goes to the top margin.
  void SetMargins(int topPoints, int bottomPixels, int leftPixels, int rightPixels);
  void SetLineSpacing(int points) { m_nLineSpacing = points; }
  int StartDocument(const std::string& jobName);
  int StartPage();
  int EndPage();
  int EndDocument();
  int SelectFont(int set, int variant);
  int PrintText(int set, std::string_view text, bool centred);
  int DrawRule(report::PenStyle style);
  void ResetTable() { m_nColumnGap = kDefaultColumnGap; }
  void SetColumns(const std::vector<int>& widths);
  void SetColumnGap(int pixels) { m_nColumnGap = pixels; }
  // Cell k goes to column k, whatever bytes it holds: a "|" or half a
  // Chinese character in one cell never moves the cells after it.
  int PrintTableRow(int set, const std::vector<std::string>& cells);

  bool Failed() const { return m_bFailed; }
  // Drops the document if one was started.
  void Abort();

  // Points to pixels at the device's vertical resolution, rounded.
  int PointsToPixels(int points) const;
  int CurrentY() const { return m_nCurrentY; }

 private:
  // Ends the page and starts the next one when a line of `height` does not
  // fit above the bottom margin any more.
  bool CheckPageBreak(int height);
  int TopPixels() const { return PointsToPixels(m_nTopMargin); }
  int SpacingPixels() const { return PointsToPixels(m_nLineSpacing); }
  int ColumnWidth(size_t column) const;
  report::TextExtent Measure(std::string_view text);
  int Fail();

  report::IReportDevice& m_device;
  int m_nPageWidth = 0;
  int m_nPageHeight = 0;
  std::vector<std::array<int, 4>> m_fontSets;  // device font handles per set
  std::array<int, kMaxFontSets> m_nVariant;
  int m_nCurrentSet = -1;
  int m_nTopMargin = 0;  // points
  int m_nBottomMargin = 0;
  int m_nLeftMargin = 0;
  int m_nRightMargin = 0;
  int m_nCurrentY = 0;
  int m_nLineSpacing = 0;  // points
  std::vector<int> m_columnWidths;
  int m_nColumnGap = kDefaultColumnGap;
  bool m_bDocumentStarted = false;
  bool m_bFailed = false;
};
