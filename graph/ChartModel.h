#pragma once
// What the graph page's chart shows, as plain data: the look it is set up
// with once, its rows (a label and an optional value each), the current row,
// and the category axis title. The chart widget draws exactly this; the page
// changes it only through the operations below.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ChartColour {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const ChartColour&) const = default;
};

// The look, set up once by the page. The chart is always a two-dimensional
// line chart of one series, without legend or point labels.
struct ChartLook {
  std::string title;
  ChartColour backdrop{255, 255, 255};
  // The value axis keeps this fixed scale whatever the values.
  double valueMaximum = 100.0;
  double valueMinimum = 0.0;
  int valueMajorDivisions = 5;
  std::string valueAxisTitle;
  ChartColour pen{0, 0, 0};
  float penWidth = 10.0f;  // tenths of a pixel
};

class ChartModel {
 public:
  struct Row {
    std::string label = " ";
    std::optional<double> value;  // none: an empty point, a gap in the line
    bool operator==(const Row&) const = default;
  };

  ChartLook& Look() { return m_look; }
  const ChartLook& Look() const { return m_look; }

  // Rows kept keep their labels and values; new rows come empty.
  void SetRowCount(int rows);
  // The category axis shows every row's label under its row.
  void SetCategoryTitle(std::string title);
  // 1-based; a row outside the chart selects nothing.
  void SetCurrentRow(int row);
  void SetRowLabel(std::string label);  // of the current row
  void SetPointEmpty();                 // of the current row
  // Column 1 is the one series; other columns, rows outside the chart and a
  // set null flag leave the chart as it is.
  void SetData(int row, int column, double value, bool null);

  int RowCount() const { return static_cast<int>(m_rows.size()); }
  int CurrentRow() const { return m_nCurrentRow; }
  const Row& RowAt(int row) const { return m_rows.at(static_cast<size_t>(row - 1)); }
  const std::vector<Row>& Rows() const { return m_rows; }
  const std::string& CategoryTitle() const { return m_strCategoryTitle; }
  // Grows with every change that alters what the chart shows, so a drawer
  // can tell whether its last picture is still current.
  std::uint64_t Version() const { return m_nVersion; }

 private:
  Row* Current();
  void Changed() { ++m_nVersion; }

  ChartLook m_look;
  std::vector<Row> m_rows;
  int m_nCurrentRow = 1;
  std::string m_strCategoryTitle;
  std::uint64_t m_nVersion = 0;
};
