// Column widths: the layout's width is a minimum; titles and the widest cell
// shown widen a column; trailing blanks take no room.
#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "table/ColumnFit.h"

namespace {

// Every character 10 pixels wide, titles 20.
int CellWidth(const std::string& utf8) {
  int chars = 0;
  for (unsigned char c : utf8) chars += (c & 0xC0) != 0x80;
  return chars * 10;
}
int TitleWidth(const std::string& utf8) { return CellWidth(utf8) * 2; }

TEST(ColumnFit, AColumnWidensToItsTitleAndWidestCellButNeverBelowTheLayout) {
  TableModel model;
  model.InsertColumn(0, "No", 100);
  model.InsertColumn(1, "Range 0 calibration", 60);  // 19 characters: 380 + padding
  model.InsertColumn(2, "T", 50);
  columnfit::ColumnFit fit(CellWidth, TitleWidth);
  fit.Reset(model);
  EXPECT_EQ(fit.Width(0), 100);
  EXPECT_EQ(fit.Width(1), 380 + columnfit::kTitlePadding);
  EXPECT_EQ(fit.Width(2), 50);

  model.InsertRow(0, "1");
  model.SetCell(0, 2, "2026/12/07 16:25:30      ");  // 19 drawn characters
  EXPECT_FALSE(fit.AddCell(model, 0, 0));
  EXPECT_TRUE(fit.AddCell(model, 0, 2));
  EXPECT_EQ(fit.Width(2), 190 + columnfit::kCellPadding);
  // A narrower cell later does not narrow it again.
  model.InsertRow(1, "2");
  model.SetCell(1, 2, "short");
  EXPECT_FALSE(fit.AddRow(model, 1));
  EXPECT_EQ(fit.Width(2), 190 + columnfit::kCellPadding);
  // Chinese text is measured as the person sees it, not by its GBK bytes.
  model.SetCell(1, 0, gbk::FromUtf8("量程零校准数值十"));
  EXPECT_FALSE(fit.AddRow(model, 1));
  model.SetCell(1, 0, gbk::FromUtf8("量程零校准数值十二"));
  EXPECT_TRUE(fit.AddRow(model, 1));
  EXPECT_EQ(fit.Width(0), 90 + columnfit::kCellPadding);
}

TEST(ColumnFit, ResetMeasuresTheRowsAlreadyThere) {
  TableModel model;
  model.InsertColumn(0, "", 30);
  model.InsertRow(0, "abcdefghij");
  columnfit::ColumnFit fit(CellWidth, TitleWidth);
  fit.Reset(model);
  EXPECT_EQ(fit.Width(0), 100 + columnfit::kCellPadding);
}

TEST(ColumnFit, CellsDifferingOnlyInTheirDigitsAreMeasuredOnce) {
  TableModel model;
  model.InsertColumn(0, "", 10);
  int measured = 0;
  columnfit::ColumnFit fit([&measured](const std::string& utf8) { return ++measured, CellWidth(utf8); },
                           TitleWidth);
  fit.Reset(model);
  for (int i = 0; i < 500; ++i) {
    model.InsertRow(i, "2026/12/07 16:25:" + std::to_string(10 + i % 50));
    fit.AddRow(model, i);
  }
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(fit.Width(0), 190 + columnfit::kCellPadding);
}

}  // namespace
