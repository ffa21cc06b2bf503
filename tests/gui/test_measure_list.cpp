// The measurement list: single-cell selection and in-place editing of the
// number and the description, with real mouse and key events.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <fstream>

#include "GuiTestSupport.h"
#include "app/ui/CMainFrame.h"
#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "device/meters/km360r/Km360r.h"
#include "table/ui/CMeasureList.h"
#include "table/ui/CTablePageWindow.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::RunningApp;

namespace {

std::string Reading() {
  return gbk::FromUtf8("波长      1310nm\r\n线性      1.00uW\r\n对数      -30.00dBm\r\n"
                       "时间      12/05/06 10:20:30\r\n$");
}

class MeasureList : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(running.WaitForPages());
    list = running.TablePageWindow()->List();
    int rows = 0;
    for (int i = 0; i < 3; ++i) {
      running.TablePageWindow()->Page().ShowReply(meter::ReadRecord(meters::km360r::Model(), Reading()), DataKind::RealTime, rows);
    }
    guitest::Drain();
  }

  void Click(int row, int column) {
    const QPoint at = list->visualRect(list->model()->index(row, column)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QApplication::sendEvent(list->viewport(), &release);
    guitest::Drain();
  }
  void Key(QWidget* to, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
    guitest::Drain();
  }
  // Selects the cell, opens its edit box with a second click, types `text`
  // and ends the edit with Enter; the text the cell then holds.
  std::string Edit(int row, int column, const QString& text) {
    Click(row, column);
    Click(row, column);
    QLineEdit* box = list->EditBox();
    if (!box) return "(no edit box)";
    box->setText(text);
    Key(box, Qt::Key_Return);
    return Cell(row, column);
  }
  std::string Cell(int row, int column) {
    return gbk::ToUtf8(running.TablePageWindow()->Page().Model().Cell(row, column));
  }

  ConfigFile config{"[config]\r\nlanguage=1\r\n"};
  RunningApp running;
  CMeasureList* list = nullptr;
};

TEST_F(MeasureList, FirstClickSelectsOneCellSecondClickEditsOnlyNumberAndDescription) {
  Click(1, 3);
  EXPECT_TRUE(list->m_bCellSelected);
  EXPECT_EQ(list->m_nCellRow, 1);
  EXPECT_EQ(list->m_nCellColumn, 3);
  Click(1, 3);  // the power: no edit
  EXPECT_EQ(list->EditBox(), nullptr);

  Click(2, 5);
  Click(2, 5);
  QLineEdit* box = list->EditBox();
  ASSERT_NE(box, nullptr);
  const QRect cell = list->visualRect(list->model()->index(2, 5));
  EXPECT_EQ(box->geometry().left(), cell.left() + 4);
  EXPECT_EQ(box->geometry().top(), cell.top());
  EXPECT_EQ(box->text(), "");
  Key(box, Qt::Key_Escape);  // a cancelled edit writes nothing
  EXPECT_EQ(list->EditBox(), nullptr);
  EXPECT_EQ(Cell(2, 5), "");

  // A click below the last row takes the highlight away.
  const QPoint below(5, list->visualRect(list->model()->index(2, 0)).bottom() + 30);
  QMouseEvent press(QEvent::MouseButtonPress, below, list->viewport()->mapToGlobal(below),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &press);
  EXPECT_FALSE(list->m_bCellSelected);
}

TEST_F(MeasureList, EditsAreCountedInGbkBytesAndRefusedTextKeepsTheOldCell) {
  const QString chinese10 = QString::fromUtf8("柜一二三四五六七八九");
  const struct {
    int column;
    QString typed;
    std::string stored;  // what the cell holds afterwards
    const char* box;     // the refusal, or nullptr
  } cases[] = {
      {0, "1234567890", "1234567890", nullptr},
      {0, "12345678901", "1234567890", "This edit box can receive max 10 digits,Please input again!"},
      {5, chinese10, chinese10.toStdString(), nullptr},
      {5, chinese10 + "十", chinese10.toStdString(),
       "This edit box can receive max 20 digits,Please input again!"},
      {5, QString::fromUtf8("A\xF0\x9F\x98\x80"), chinese10.toStdString(),
       "The text holds a character that cannot be saved,Please input again!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    BoxAnswerer answer(QMessageBox::Ok);
    EXPECT_EQ(Edit(0, c.column, c.typed), c.stored);
    if (c.box) {
      ASSERT_TRUE(guitest::WaitFor([&] { return answer.Answered(); }, 5000));
      EXPECT_EQ(answer.Text().toStdString(), c.box);
      EXPECT_EQ(answer.Caption().toStdString(), "Massage promp");
    } else {
      guitest::Drain();
      EXPECT_FALSE(answer.Answered());
    }
  }
}

TEST_F(MeasureList, NothingIsEditedWhileParametersAreShown) {
  QTemporaryDir dir;
  const std::string path = QFile::encodeName(dir.filePath("p.syf")).toStdString();
  std::ofstream(path, std::ios::binary)
      << gbk::FromUtf8("波长:1310nm     波长校准值:1.2       \r\n量程7校准值:-1.25dBm     \r\n")
      << '\0';
  ASSERT_EQ(running.app->MainFrame()->Service().OpenFile(path).status, FileOutcome::Status::Done);
  guitest::Drain();
  ASSERT_EQ(list->model()->rowCount(), 1);
  Click(0, 0);
  Click(0, 0);
  EXPECT_EQ(list->EditBox(), nullptr);
}

TEST_F(MeasureList, AnEditedDescriptionIsWhatSaveWritesAndOpenShows) {
  ASSERT_EQ(Edit(1, 5, QString::fromUtf8("柜 A, 端口 3")), "柜 A, 端口 3");
  QTemporaryDir dir;
  const std::string path = QFile::encodeName(dir.filePath("e.ref")).toStdString();
  MeterService& service = running.app->MainFrame()->Service();
  ASSERT_EQ(service.SaveFile(path, DataKind::RealTime).status, FileOutcome::Status::Done);
  ASSERT_EQ(service.OpenFile(path).status, FileOutcome::Status::Done);
  guitest::Drain();
  // The file keeps the eight blanks that follow the description.
  EXPECT_EQ(Cell(1, 5), "柜 A, 端口 3        ");
}

TEST_F(MeasureList, AnEditMarksTheTitleAndDeleteAsksBeforeEmptyingTheTable) {
  CMainFrame* frame = running.app->MainFrame();
  const QString caption = frame->windowTitle();
  QTemporaryDir dir;
  MeterService& service = frame->Service();
  ASSERT_EQ(service.SaveFile(QFile::encodeName(dir.filePath("day.ref")).toStdString(), DataKind::RealTime).status,
            FileOutcome::Status::Done);
  guitest::Drain();
  EXPECT_EQ(frame->windowTitle(), "day.ref - " + caption);
  ASSERT_EQ(Edit(0, 5, QStringLiteral("span 7")), "span 7");
  EXPECT_EQ(frame->windowTitle(), "*day.ref - " + caption);
  {
    // The plain delete question would be answered No.
    BoxAnswerer cancel(QMessageBox::Cancel);
    BoxAnswerer no(QMessageBox::No);
    frame->ToolbarAction(12)->trigger();
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(cancel.DefaultButton(), QMessageBox::Cancel);
    EXPECT_EQ(cancel.Caption().toStdString(), "Massage prompt");
  }
  EXPECT_EQ(running.TablePageWindow()->Page().Model().RowCount(), 3);
  EXPECT_EQ(Cell(0, 5), "span 7");
  EXPECT_EQ(frame->windowTitle(), "*day.ref - " + caption);
  // Saved, Delete asks its own question, whose default is No.
  ASSERT_EQ(service.SaveFile(QFile::encodeName(dir.filePath("day.ref")).toStdString(), DataKind::RealTime).status,
            FileOutcome::Status::Done);
  BoxAnswerer no(QMessageBox::No);
  frame->ToolbarAction(12)->trigger();
  EXPECT_TRUE(no.Answered());
  EXPECT_EQ(no.Text().toStdString(), "Are you sure to delete shown data?");
  EXPECT_EQ(no.DefaultButton(), QMessageBox::No);
  EXPECT_EQ(running.TablePageWindow()->Page().Model().RowCount(), 3);
}

TEST_F(MeasureList, TheHighlightIsAsWideAsTheTextAndSixPixels) {
  auto highlightWidth = [&](int row, int column) {
    list->scrollTo(list->model()->index(row, column));
    Click(row, column);
    const QImage image = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(row, column));
    // A line above the text, inside the focus rectangle; the highlight's
    // colour is what stands just inside its left edge. Only the part of the
    // cell inside the grabbed picture can be looked at.
    const int y = cell.top() + 2;
    const int right = std::min(cell.right(), image.width() - 1);
    EXPECT_TRUE(image.valid(cell.left() + 6, y)) << cell.left() << "," << y;
    const QColor highlight = image.pixelColor(cell.left() + 6, y);
    int width = 0;
    for (int x = std::max(cell.left(), 0); x <= right; ++x) {
      if (image.pixelColor(x, y) == highlight) ++width;
    }
    return width;
  };
  const QFontMetrics fm = list->fontMetrics();
  // The focus rectangle may cover the highlight's edges by a pixel each.
  EXPECT_NEAR(highlightWidth(0, 1), fm.horizontalAdvance("1310") + 6, 2);
  EXPECT_NEAR(highlightWidth(0, 5), 47, 2);
}

}  // namespace
