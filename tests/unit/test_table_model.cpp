#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/TableModel.h"

namespace {

struct RecordingObserver : ITableObserver {
  std::vector<std::string> events;
  void OnColumnsReset() override { events.emplace_back("columns"); }
  void OnRowInserted(int row) override { events.push_back("row " + std::to_string(row)); }
  void OnRowsCleared() override { events.emplace_back("cleared"); }
  void OnCellChanged(int row, int col) override {
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(col));
  }
  void OnModelReset(bool columnsReset) override { events.emplace_back(columnsReset ? "reset, columns" : "reset"); }
};

TableModel& ThreeColumns(TableModel& m) {
  m.InsertColumn(0, "a", 10);
  m.InsertColumn(1, "b", 20);
  m.InsertColumn(2, "c", 30);
  return m;
}

}  // namespace

TEST(TableModel, RowsBehaveLikeAListControl) {
  TableModel m;
  ThreeColumns(m);
  EXPECT_EQ(m.InsertRow(5, "first"), 0);   // clipped to the row count
  EXPECT_EQ(m.InsertRow(0, "second"), 0);  // above the first
  EXPECT_EQ(m.InsertRow(-3, "third"), 0);
  ASSERT_EQ(m.RowCount(), 3);
  EXPECT_EQ(m.Cell(0, 0), "third");
  EXPECT_EQ(m.Cell(2, 0), "first");
  EXPECT_EQ(m.Cell(2, 1), "");

  EXPECT_TRUE(m.SetCell(1, 2, "long text beyond the small buffer"));
  EXPECT_TRUE(m.SetCell(1, 1, "mid"));
  EXPECT_TRUE(m.SetCell(1, 0, "x"));
  EXPECT_EQ(m.Cell(1, 0), "x");
  EXPECT_EQ(m.Cell(1, 1), "mid");
  EXPECT_EQ(m.Cell(1, 2), "long text beyond the small buffer");
  EXPECT_TRUE(m.SetCell(1, 1, ""));
  EXPECT_EQ(m.Cell(1, 2), "long text beyond the small buffer");
  EXPECT_EQ(m.Cell(1, 0), "x");

  EXPECT_FALSE(m.SetCell(3, 0, "no row"));
  EXPECT_FALSE(m.SetCell(0, 3, "no column"));
  EXPECT_EQ(m.Cell(7, 0), "");
  EXPECT_EQ(m.Cell(0, -1), "");

  // Cell texts are bytes: NUL and GBK bytes survive.
  const std::string bytes("\xB2\xA8\0\xB3", 4);
  EXPECT_TRUE(m.SetCell(0, 1, bytes));
  EXPECT_EQ(m.Cell(0, 1), bytes);

  m.DeleteAllRows();
  EXPECT_EQ(m.RowCount(), 0);
  EXPECT_EQ(m.ColumnCount(), 3);
}

TEST(TableModel, ARowInsertedWithItsCellsKeepsThoseTheColumnsHold) {
  TableModel m;
  ThreeColumns(m);
  const std::string_view four[] = {"a", "", "c", "beyond"};
  const std::string_view two[] = {"x", "y"};
  EXPECT_EQ(m.InsertRow(9, four), 0);
  EXPECT_EQ(m.InsertRow(0, two), 0);
  EXPECT_EQ(m.Cell(1, 0), "a");
  EXPECT_EQ(m.Cell(1, 1), "");
  EXPECT_EQ(m.Cell(1, 2), "c");
  EXPECT_EQ(m.Cell(1, 3), "");
  EXPECT_EQ(m.Cell(0, 1), "y");
  EXPECT_EQ(m.Cell(0, 2), "");
  EXPECT_TRUE(m.SetCell(0, 2, "z"));
  EXPECT_EQ(m.Cell(0, 1), "y");
}

TEST(TableModel, ColumnsMoveTheirCellsAndDeletingNothingIsHarmless) {
  TableModel m;
  EXPECT_FALSE(m.DeleteColumn(0));
  ThreeColumns(m);
  m.InsertRow(0, "A");
  m.SetCell(0, 1, "B");
  m.SetCell(0, 2, "C");
  EXPECT_TRUE(m.DeleteColumn(0));
  EXPECT_EQ(m.Column(0).title, "b");
  EXPECT_EQ(m.Cell(0, 0), "B");
  EXPECT_EQ(m.Cell(0, 1), "C");
  EXPECT_EQ(m.InsertColumn(9, "z", 5), 2);
  EXPECT_EQ(m.Cell(0, 2), "");
  EXPECT_TRUE(m.SetCell(0, 2, "Z"));
  EXPECT_EQ(m.InsertColumn(1, "y", 5), 1);
  EXPECT_EQ(m.Cell(0, 0), "B");
  EXPECT_EQ(m.Cell(0, 1), "");
  EXPECT_EQ(m.Cell(0, 2), "C");
  EXPECT_EQ(m.Cell(0, 3), "Z");
  for (int i = 0; i < 10; ++i) m.DeleteColumn(0);
  EXPECT_EQ(m.ColumnCount(), 0);
  EXPECT_EQ(m.InsertColumn(0, "w", 150), 0);
  EXPECT_EQ(m.Column(0).width, 150);
  EXPECT_EQ(m.Column(0).align, TableColumn::Align::Left);
}

TEST(TableModel, ObserversHearEachChangeOrOneResetAfterABulkUpdate) {
  TableModel m;
  RecordingObserver o;
  m.AddObserver(&o);
  m.AddObserver(&o);  // once only
  m.InsertColumn(0, "a", 1);
  m.InsertRow(0, "1");
  m.SetCell(0, 0, "2");
  m.SetCell(0, 4, "ignored");
  m.DeleteAllRows();
  EXPECT_EQ(o.events, (std::vector<std::string>{"columns", "row 0", "cell 0,0", "cleared"}));
  o.events.clear();
  {
    TableModel::BulkUpdate bulk(m);
    for (int i = 0; i < 3; ++i) m.InsertRow(i, std::to_string(i));
    TableModel::BulkUpdate nested(m);
    m.SetCell(1, 0, "x");
  }
  EXPECT_EQ(o.events, (std::vector<std::string>{"reset"}));
  o.events.clear();
  {
    TableModel::BulkUpdate bulk(m);
    m.DeleteColumn(0);
  }
  {
    TableModel::BulkUpdate rowsOnly(m);
    m.InsertRow(0, "1");
  }
  EXPECT_EQ(o.events, (std::vector<std::string>{"reset, columns", "reset"}));
  o.events.clear();
  { TableModel::BulkUpdate idle(m); }
  EXPECT_TRUE(o.events.empty());
  m.RemoveObserver(&o);
  m.InsertRow(0, "quiet");
  EXPECT_TRUE(o.events.empty());
}
