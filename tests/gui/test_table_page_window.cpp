// The table page window over the table page's rows.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <vector>

#include "GuiTestSupport.h"
#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "device/meters/km360r/Km360r.h"
#include "app/ui/CMainFrame.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::ConfigFile;
using guitest::RunningApp;

namespace {

std::string Str(const QVariant& v) { return v.toString().toStdString(); }

// A real-time reading; labels sit 10 bytes before their values, as the meter
// sends them.
std::string RealTimeRecord() {
  return std::string(gbk::kWavelength) + "      1310nm\r\n" + std::string(gbk::kLinear) + "      1.00uW\r\n" +
         std::string(gbk::kLog) + "      -30.00dBm\r\n" + std::string(gbk::kTime) + "      12/05/06 10:20:30\r\n$";
}

}  // namespace

TEST(TablePageWindow, ListLooksLikeTheReportListWithTheLayoutsWidths) {
  ConfigFile config("[config]\r\nlanguage=0\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  QTableView* list = running.TablePageWindow()->List();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->showGrid());
  // Single cells are selected by the list itself, not by the view's rows.
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::NoSelection);
  EXPECT_GE(list->verticalHeader()->defaultSectionSize(), 16);

  // The measurement layout of the page's initialisation.
  QAbstractItemModel* model = list->model();
  ASSERT_EQ(model->columnCount(), 6);
  const char* titles[] = {"No.", "波长", "线性功率", "对数功率(dBm)", "测试时间", "备注"};
  const int widths[] = {150, 150, 100, 150, 150, 200};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(Str(model->headerData(c, Qt::Horizontal)), titles[c]);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(c), widths[c]) << c;
  }

  // Another layout brings its own columns and widths.
  running.TablePageWindow()->Page().ApplyLayout(Layout::AD);
  ASSERT_EQ(model->columnCount(), 3);
  EXPECT_EQ(Str(model->headerData(2, Qt::Horizontal)), "AD值");
  EXPECT_EQ(list->horizontalHeader()->sectionSize(1), 100);
  running.TablePageWindow()->Page().ApplyLayout(Layout::Measurement, 150);
  EXPECT_EQ(list->horizontalHeader()->sectionSize(5), 150);
}

TEST(TablePageWindow, RowsFollowTheModelAndShowGbkCellsAsText) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  TableModel& rows = running.TablePageWindow()->Page().Model();
  QAbstractItemModel* shown = running.TablePageWindow()->List()->model();

  rows.InsertRow(0, "1");
  rows.SetCell(0, 1, std::string(gbk::kWavelength) + "1310");
  rows.InsertRow(0, "2");  // inserted above: the first row moves down
  ASSERT_EQ(shown->rowCount(), 2);
  EXPECT_EQ(Str(shown->data(shown->index(0, 0))), "2");
  EXPECT_EQ(Str(shown->data(shown->index(1, 0))), "1");
  EXPECT_EQ(Str(shown->data(shown->index(1, 1))), "波长1310");
  rows.SetCell(1, 2, "-3.01");
  EXPECT_EQ(Str(shown->data(shown->index(1, 2))), "-3.01");

  rows.DeleteAllRows();
  EXPECT_EQ(shown->rowCount(), 0);
  EXPECT_EQ(shown->columnCount(), 6);  // columns stay

  // A bulk load is shown as a whole at its end.
  {
    TableModel::BulkUpdate bulk(rows);
    for (int i = 0; i < 50; ++i) rows.InsertRow(i, std::to_string(i + 1));
  }
  EXPECT_EQ(shown->rowCount(), 50);
  EXPECT_EQ(Str(shown->data(shown->index(49, 0))), "50");
}

TEST(TablePageWindow, ClosingStepBringsTheLastRowWhollyIntoViewWhileTheListIsAtItsEnd) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  TableModel& rows = running.TablePageWindow()->Page().Model();
  QTableView* list = running.TablePageWindow()->List();
  auto visible = [list](int row) {
    return list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0)));
  };
  for (int i = 0; i < 300; ++i) rows.InsertRow(i, std::to_string(i + 1));
  guitest::Drain();
  list->scrollToBottom();
  guitest::Drain();
  rows.InsertRow(300, "301");
  EXPECT_FALSE(visible(300));
  running.TablePageWindow()->ScrollToRow(300);
  guitest::Drain();
  EXPECT_TRUE(visible(300));
  running.TablePageWindow()->ScrollToRow(1000);  // no such row: nothing happens

  // The operator looks at older rows: a new row leaves them in view.
  list->scrollToTop();
  guitest::Drain();
  rows.InsertRow(301, "302");
  running.TablePageWindow()->ScrollToRow(301);
  guitest::Drain();
  EXPECT_TRUE(visible(0));
  EXPECT_FALSE(visible(301));
}

TEST(TablePageWindow, RealTimeRecordBecomesANumberedRow) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  int rowCount = 0;
  running.TablePageWindow()->Page().ShowReply(meter::ReadRecord(meters::km360r::Model(), RealTimeRecord()), DataKind::RealTime, rowCount);
  QAbstractItemModel* shown = running.TablePageWindow()->List()->model();
  ASSERT_EQ(shown->rowCount(), 1);
  EXPECT_EQ(Str(shown->data(shown->index(0, 0))), "1");
  EXPECT_EQ(Str(shown->data(shown->index(0, 1))), "1310");
  EXPECT_EQ(Str(shown->data(shown->index(0, 4))), "2012/05/06 10:20:30");
}

TEST(TablePageWindow, TheRowsBelongToThePageAndOutliveItsWindow) {
  const FrameTexts texts = FrameTexts::For(lang::Index::One);
  TablePage page(texts, "1");
  int rowCount = 0;
  {
    CTablePageWindow window(page, nullptr);
    window.Create();
    window.show();
    page.ShowReply(meter::ReadRecord(meters::km360r::Model(), RealTimeRecord()), DataKind::RealTime, rowCount);
    ASSERT_EQ(window.List()->model()->rowCount(), 1);
  }
  // A record after the window is gone reaches the rows alone.
  page.ShowReply(meter::ReadRecord(meters::km360r::Model(), RealTimeRecord()), DataKind::RealTime, rowCount);
  ASSERT_EQ(page.Model().RowCount(), 2);
  EXPECT_EQ(gbk::ToUtf8(page.Model().Cell(1, 0)), "2");
}

TEST(TablePageWindow, RecordsArrivingFasterThanTheWindowRepaintsEndWithTheLastRowInView) {
  ConfigFile config("[config]\r\nlanguage=1\r\n");
  RunningApp running;
  ASSERT_TRUE(running.WaitForPages());
  int rowCount = 0;
  const meter::Record record = meter::ReadRecord(meters::km360r::Model(), RealTimeRecord());
  // A burst from the meter: every record is handled before the window gets
  // its next turn of the event loop.
  for (int i = 0; i < 300; ++i) running.TablePageWindow()->Page().ShowReply(record, DataKind::RealTime, rowCount);
  guitest::Drain();
  QTableView* list = running.TablePageWindow()->List();
  ASSERT_EQ(list->model()->rowCount(), 300);
  EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(299, 0))));
}

TEST(TablePageWindow, FileDialogFiltersInTheToolkitsForm) {
  EXPECT_EQ(CTablePageWindow::DialogFilter("(*.ref)|*.ref|(*.hif)|*.hif|(*.syf)|*.syf|").toStdString(),
            "(*.ref);;(*.hif);;(*.syf)");
  EXPECT_EQ(CTablePageWindow::DialogFilter(" (*.ref)|*.ref|").toStdString(), "(*.ref)");
  EXPECT_EQ(CTablePageWindow::DialogFilter("Data|*.ref|").toStdString(), "Data (*.ref)");
  EXPECT_EQ(CTablePageWindow::DialogFilter("").toStdString(), "");
}

namespace {

struct OpenedLayoutCase {
  const char* language;
  Layout shownBefore;
  int descriptionBefore;
  const char* file;
  std::vector<int> widths;
};

}  // namespace

TEST(TablePageWindow, OpenedFileShowsItsLayoutsWidthsWhateverWasShownBefore) {
  const std::vector<int> measurement = {150, 150, 100, 150, 150, 200};
  const std::vector<OpenedLayoutCase> cases = {
      {"0", Layout::Parameters, 200, "a.ref", measurement},
      {"1", Layout::Parameters, 200, "a.hif", measurement},
      {"1", Layout::Measurement, 150, "a.syf", {80, 200, 200, 200, 200, 200, 200, 200, 200, 200}},
      {"0", Layout::Measurement, 200, "a.syf", {50, 100, 100, 100, 100, 100, 100, 100, 100, 100}},
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const OpenedLayoutCase& c : cases) {
    SCOPED_TRACE(std::string("language ") + c.language + ", " + c.file);
    ConfigFile config(std::string("[config]\r\nlanguage=") + c.language + "\r\n");
    RunningApp running;
    ASSERT_TRUE(running.WaitForPages());
    running.TablePageWindow()->Page().ApplyLayout(c.shownBefore, c.descriptionBefore);

    const std::string path = QFile::encodeName(dir.filePath(c.file)).toStdString();
    std::ofstream(path, std::ios::binary | std::ios::trunc).put('\0');
    ASSERT_EQ(running.app->MainFrame()->Service().OpenFile(path).status, FileOutcome::Status::Done);

    QHeaderView* header = running.TablePageWindow()->List()->horizontalHeader();
    ASSERT_EQ(header->count(), static_cast<int>(c.widths.size()));
    // The layout's widths, or more where a title needs it.
    const QFontMetrics titles = header->fontMetrics();
    for (int col = 0; col < header->count(); ++col) {
      const int title = titles.horizontalAdvance(header->model()->headerData(col, Qt::Horizontal).toString());
      EXPECT_EQ(header->sectionSize(col), std::max(c.widths[col], title + columnfit::kTitlePadding)) << col;
    }
  }
}
