#pragma once
// How wide the table's columns are drawn. The widths a layout gives are
// minimums: a column widens to fit its title and the widest cell it has
// shown, measured in the font the list draws with. Trailing blanks a cell
// keeps for the file formats are not drawn, so they take no room.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "table/TableModel.h"

namespace columnfit {

// The part of a cell (GBK) that is drawn: without its trailing blanks.
std::string_view Drawn(std::string_view cell);

// Room around a text: the cell's text starts 6 pixels in and its highlight
// ends 4 pixels past the text; titles have their padding and grid line.
inline constexpr int kCellPadding = 12;
inline constexpr int kTitlePadding = 12;

// Cells are measured by their shape: every digit counts as "0", as the fonts
// of a desktop draw all digits equally wide. A record's times and powers then
// come in a handful of shapes, each measured once, so the thousands of
// records a second of a history read cost no text layout.
class ColumnFit {
 public:
  // Pixel widths of UTF-8 texts in the list's font and in its titles' font.
  using Measure = std::function<int(const std::string& utf8)>;
  ColumnFit(Measure cellWidth, Measure titleWidth)
      : m_cellWidth(std::move(cellWidth)), m_titleWidth(std::move(titleWidth)) {}

  // The columns were replaced: every width starts from the layout's and its
  // title, and the rows the model holds are measured.
  void Reset(const TableModel& model);
  // A row was shown, or one cell of it changed: its cells are measured. True
  // when a column widened.
  bool AddRow(const TableModel& model, int row);
  bool AddCell(const TableModel& model, int row, int column);

  int Width(int column) const;
  int Columns() const { return static_cast<int>(m_widths.size()); }

 private:
  int CellWidth(std::string_view drawn);

  Measure m_cellWidth;
  Measure m_titleWidth;
  std::vector<int> m_widths;
  std::unordered_map<std::string, int> m_byShape;  // GBK shape -> pixels
};

}  // namespace columnfit
