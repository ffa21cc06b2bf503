// The four settings dialogs on their own, against a link that records the
// questions they send: presets, the texts of each language, and the command
// the program sends for what OK gave.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <chrono>
#include <optional>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "common/Gbk.h"
#include "settings/SettingsCommands.h"
#include "device/meters/km360r/Km360r.h"
#include "settings/ui/CCalibrationDialog.h"
#include "settings/ui/CSetClockDialog.h"
#include "settings/ui/CSetWavelengthDialog.h"
#include "settings/ui/CMeasurementModeDialog.h"

using guitest::ConfigFile;

namespace {

class RecordingLink : public settings::ISettingsLink {
 public:
  std::vector<std::string> posted;
  std::string current;
  std::function<void()> listener;

  const meter::Model& MeterModel() const override { return meters::km360r::Model(); }
  void PostCommand(const std::string& text) override { posted.push_back(text); }
  const std::string& CurrentWavelength() const override { return current; }
  void SetWavelengthListener(std::function<void()> l) override { listener = std::move(l); }

  // The meter named its current wavelength (GBK bytes).
  void Report(const std::string& text) {
    current = text;
    if (listener) listener();
  }
};

// What the program queues for the meter from a dialog: the dialog's own
// questions, then the command made of what OK gave, unless that one goes
// straight to the line.
std::string CommandOf(const settings::Choice& chosen) {
  return meters::km360r::Model().settings.command(chosen).value_or("(no command)");
}
template <typename Dialog>
std::vector<std::string> Queued(const RecordingLink& link, const Dialog& dialog) {
  std::vector<std::string> queued = link.posted;
  const std::optional<settings::Choice> chosen = dialog.Chosen();
  if (chosen && !settings::SentAtOnce(*chosen)) queued.push_back(CommandOf(*chosen));
  return queued;
}
template <typename Dialog>
std::vector<std::string> Queued(const Dialog& dialog) {
  return Queued(RecordingLink(), dialog);
}
// What the program writes straight to the line from a dialog.
template <typename Dialog>
std::vector<std::string> AtOnce(const Dialog& dialog) {
  const std::optional<settings::Choice> chosen = dialog.Chosen();
  if (!chosen || !settings::SentAtOnce(*chosen)) return {};
  return {CommandOf(*chosen)};
}

const char* const kEnglish = "[config]\r\nlanguage=1\r\n";

void Type(QWidget* widget, const QString& text) {
  widget->setFocus();
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
  }
}

// A shown, active dialog, so that focus and keys reach its fields as they do
// for a person.
void ShowActive(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(guitest::WaitFor([&] { return dialog.isActiveWindow(); }));
}

void Key(QWidget* widget, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

// A click as the window system delivers it: the press gives the focus (for a
// click from the window system, Qt does so before the press arrives), then
// the press and the release reach the widget.
void Click(QWidget* widget) {
  widget->setFocus(Qt::MouseFocusReason);
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void Digits(QWidget* widget, const QString& digits) {
  for (QChar c : digits) Key(widget, Qt::Key_0 + (c.unicode() - '0'), QString(c));
}

TEST(SettingsDialogs, ClockOkSendsThePickedDateAndTimeStraightToTheLine) {
  ConfigFile config(kEnglish);
  CSetClockDialog dialog;
  EXPECT_EQ(dialog.DateCtrl()->date(), QDate::currentDate());
  EXPECT_EQ(dialog.HourList()->count(), 24);
  EXPECT_EQ(dialog.SecondList()->itemText(59), "59");
  dialog.DateCtrl()->setDate(QDate(2026, 12, 6));
  dialog.HourList()->setCurrentIndex(9);
  dialog.MinuteList()->setCurrentIndex(5);
  dialog.SecondList()->setCurrentIndex(30);
  dialog.OkButton()->click();
  EXPECT_EQ(AtOnce(dialog), std::vector<std::string>{"T 26/12/06 09:05:30\r"});
  EXPECT_TRUE(Queued(dialog).empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SettingsDialogs, CancelSendsNothing) {
  ConfigFile config(kEnglish);
  CSetClockDialog clock;
  clock.CancelButton()->click();
  CMeasurementModeDialog mode;
  mode.CancelButton()->click();
  EXPECT_FALSE(clock.Chosen());
  EXPECT_FALSE(mode.Chosen());
}

TEST(SettingsDialogs, WavelengthAsksTheMeterPresetsItsCurrentWavelengthAndSendsTheChosenCode) {
  ConfigFile config(kEnglish);
  const struct {
    const char* earlier;   // the current wavelength an earlier answer left
    const char* answered;  // this opening's answer
    const char* preset;    // chosen at opening
    bool chooseNext;       // the operator steps to the next wavelength before the answer
    const char* sent;
  } cases[] = {
      {"1550", "850 ", "1550", false, "L 0\r"},
      {"", "1490", "1310", false, "L 4\r"},
      {"1311", "1625", "1310", false, "L 6\r"},
      {"1310", "1550", "1310", true, "L 4\r"},
  };
  for (const auto& c : cases) {
    RecordingLink link;
    link.current = c.earlier;
    CSetWavelengthDialog dialog(link);
    ShowActive(dialog);
    EXPECT_EQ(dialog.CurrentLabel()->text(), c.earlier);
    EXPECT_EQ(dialog.WaveLengthList()->currentText(), c.preset);
    if (c.chooseNext) QTest::keyClick(dialog.WaveLengthList(), Qt::Key_Down);
    link.Report(c.answered);
    EXPECT_EQ(dialog.CurrentLabel()->text(), c.answered);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(Queued(link, dialog), (std::vector<std::string>{"B\r", c.sent})) << c.answered;
  }
}

TEST(SettingsDialogs, TheDialogStopsListeningWhenItCloses) {
  ConfigFile config(kEnglish);
  RecordingLink link;
  { CSetWavelengthDialog dialog(link); }
  EXPECT_FALSE(link.listener);
  { CCalibrationDialog dialog(link); }
  EXPECT_FALSE(link.listener);
}

TEST(SettingsDialogs, CalibrationSendsSignPartsAndTheCurrentWavelengthsCode) {
  ConfigFile config(kEnglish);
  const struct {
    const char* current;  // empty: the meter has not answered yet
    const char* integer;
    const char* fraction;
    bool minus;
    const char* sent;
  } cases[] = {
      {"1310", "1", "05", false, "C 3 +01.05\r"},
      {"1310", "0", "00", true, "C 3 -00.00\r"},
      {"850 ", "1", "00", false, "C 0 +01.00\r"},
      {"1625", "12", "34", false, "C 6 +12.34\r"},
  };
  for (const auto& c : cases) {
    RecordingLink link;
    CCalibrationDialog dialog(link);
    EXPECT_EQ(dialog.CurrentLabel()->text(), "Static");
    EXPECT_TRUE(dialog.PlusButton()->isChecked());
    if (*c.current) link.Report(c.current);
    dialog.IntegerEdit()->setText(c.integer);
    dialog.FractionEdit()->setText(c.fraction);
    if (c.minus) dialog.MinusButton()->click();
    dialog.OkButton()->click();
    EXPECT_EQ(Queued(link, dialog), (std::vector<std::string>{"B\r", c.sent})) << c.current;
  }
}

TEST(SettingsDialogs, CalibrationFieldsTakeTwoDigitsAtMost) {
  ConfigFile config(kEnglish);
  RecordingLink link;
  CCalibrationDialog dialog(link);
  link.Report("1310");
  dialog.IntegerEdit()->clear();
  Type(dialog.IntegerEdit(), "123");
  dialog.FractionEdit()->clear();
  Type(dialog.FractionEdit(), "4x56");
  EXPECT_EQ(dialog.IntegerEdit()->text(), "12");
  EXPECT_EQ(dialog.FractionEdit()->text(), "45");
  dialog.OkButton()->click();
  EXPECT_EQ(Queued(link, dialog).back(), "C 3 +12.45\r");
}

TEST(SettingsDialogs, TypedDigitsReplaceTheFieldAndTheFractionShowsWhatIsSent) {
  ConfigFile config(kEnglish);
  const struct {
    bool byMouse;  // the integer field is clicked, else reached with Tab
    const char* integer;
    const char* fraction;
    const char* integerShown;
    const char* fractionShown;
    const char* sent;
  } cases[] = {
      {true, "12", "5", "12", "05", "C 3 +12.05\r"},
      {false, "1", "5", "1", "05", "C 3 +01.05\r"},
      {true, "1", "50", "1", "50", "C 3 +01.50\r"},
  };
  for (const auto& c : cases) {
    RecordingLink link;
    CCalibrationDialog dialog(link);
    ShowActive(dialog);
    link.Report("1310");
    if (c.byMouse) {
      Click(dialog.IntegerEdit());
    } else {
      dialog.PlusButton()->setFocus(Qt::OtherFocusReason);
      Key(dialog.PlusButton(), Qt::Key_Tab);
    }
    ASSERT_TRUE(dialog.IntegerEdit()->hasFocus());
    Digits(dialog.IntegerEdit(), c.integer);
    Key(dialog.IntegerEdit(), Qt::Key_Tab);
    ASSERT_TRUE(dialog.FractionEdit()->hasFocus());
    Digits(dialog.FractionEdit(), c.fraction);
    Key(dialog.FractionEdit(), Qt::Key_Tab);  // the field is left
    EXPECT_EQ(dialog.IntegerEdit()->text(), c.integerShown);
    EXPECT_EQ(dialog.FractionEdit()->text(), c.fractionShown);
    dialog.OkButton()->click();
    EXPECT_EQ(Queued(link, dialog), (std::vector<std::string>{"B\r", c.sent}));
  }
}

TEST(SettingsDialogs, TheMetersAnswerFillsOnlyFieldsNothingWasTypedIn) {
  ConfigFile config(kEnglish);
  RecordingLink link;
  CCalibrationDialog dialog(link);
  ShowActive(dialog);
  Click(dialog.IntegerEdit());
  Digits(dialog.IntegerEdit(), "7");
  link.Report("1550");
  EXPECT_EQ(dialog.CurrentLabel()->text(), "1550");
  EXPECT_EQ(dialog.IntegerEdit()->text(), "7");
  EXPECT_EQ(dialog.FractionEdit()->text(), "00");
  // The filled field is selected: what is typed replaces it.
  Click(dialog.FractionEdit());
  Digits(dialog.FractionEdit(), "25");
  EXPECT_EQ(dialog.FractionEdit()->text(), "25");
  dialog.OkButton()->click();
  EXPECT_EQ(Queued(link, dialog).back(), "C 5 +07.25\r");
}

TEST(SettingsDialogs, CalibrationWaitsForThisOpeningsAnswerToNameAWavelengthTheMeterHas) {
  const struct {
    const char* config;
    const char* noAnswer;
  } languages[] = {{kEnglish, "The meter has not named its current wavelength: no calibration can be sent."},
                   {"[config]\r\nlanguage=0\r\n", "仪表未报告当前波长,不能校准"}};
  for (const auto& l : languages) {
    ConfigFile config(l.config);
    RecordingLink link;
    link.current = "1310";  // an earlier opening's answer does not count
    CCalibrationDialog dialog(link, nullptr, std::chrono::milliseconds(0));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_TRUE(dialog.WaitLabel()->text().isEmpty());
    guitest::Drain();  // the wait for the answer is over
    EXPECT_EQ(dialog.WaitLabel()->text().toStdString(), l.noAnswer);
    dialog.OkButton()->click();
    for (const char* unknown : {"850", "1311", ""}) {
      link.Report(unknown);
      EXPECT_FALSE(dialog.OkButton()->isEnabled()) << unknown;
      EXPECT_FALSE(dialog.WaitLabel()->text().isEmpty()) << unknown;
    }
    link.Report("980 ");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_TRUE(dialog.WaitLabel()->text().isEmpty());
    dialog.OkButton()->click();
    EXPECT_EQ(Queued(link, dialog), (std::vector<std::string>{"B\r", "C 1 +00.00\r"}));
  }
}

TEST(SettingsDialogs, ClockFieldsFollowThePcClockUntilTheOperatorChangesOne) {
  ConfigFile config(kEnglish);
  QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
  const auto clock = [&] { return now; };
  {
    CSetClockDialog dialog(nullptr, clock);
    now = now.addSecs(17);  // left open for 17 s
    dialog.OkButton()->click();
    EXPECT_EQ(AtOnce(dialog), std::vector<std::string>{"T 26/12/07 10:00:17\r"});
  }
  {
    CSetClockDialog dialog(nullptr, clock);
    ShowActive(dialog);
    dialog.MinuteList()->setFocus();
    Key(dialog.MinuteList(), Qt::Key_Down);  // the operator picks the next minute
    now = now.addSecs(40);
    dialog.OkButton()->click();
    EXPECT_EQ(AtOnce(dialog), std::vector<std::string>{"T 26/12/07 10:01:17\r"});
  }
}

TEST(SettingsDialogs, ClockYearStaysWithinWhatTheMeterHolds) {
  ConfigFile config(kEnglish);
  const struct {
    QDate picked;
    const char* sent;
  } cases[] = {{QDate(1999, 12, 31), "T 00/01/01 08:30:00\r"},
               {QDate(2100, 1, 1), "T 99/12/31 08:30:00\r"},
               {QDate(2099, 6, 1), "T 99/06/01 08:30:00\r"}};
  for (const auto& c : cases) {
    CSetClockDialog dialog(nullptr, [] { return QDateTime(QDate(2026, 1, 1), QTime(8, 30)); });
    dialog.DateCtrl()->setDate(c.picked);
    dialog.OkButton()->click();
    EXPECT_EQ(AtOnce(dialog), std::vector<std::string>{c.sent}) << c.sent;
  }
}

TEST(SettingsDialogs, AnEmptyCalibrationFieldAsksForAnIntegerAndSendsNothing) {
  ConfigFile config(kEnglish);
  // The fraction is read first: when both are empty, it is the one asked for.
  for (const bool bothEmpty : {false, true}) {
    RecordingLink link;
    CCalibrationDialog dialog(link);
    dialog.show();
    link.Report("1310");
    dialog.IntegerEdit()->clear();
    if (bothEmpty) dialog.FractionEdit()->clear();
    guitest::BoxAnswerer answerer(QMessageBox::Ok);
    dialog.OkButton()->click();
    EXPECT_TRUE(answerer.Answered());
    EXPECT_EQ(answerer.Text().toStdString(), "Please enter a whole number.");
    EXPECT_EQ(Queued(link, dialog), std::vector<std::string>{"B\r"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), bothEmpty ? dialog.FractionEdit() : dialog.IntegerEdit());
  }
}

TEST(SettingsDialogs, ModeOpensOnNormalAndSendsTheChoice) {
  ConfigFile config(kEnglish);
  CMeasurementModeDialog normal;
  EXPECT_TRUE(normal.NormalButton()->isChecked());
  normal.OkButton()->click();
  CMeasurementModeDialog reference;
  reference.ReferenceButton()->click();
  reference.OkButton()->click();
  EXPECT_EQ(Queued(normal), std::vector<std::string>{"F 0\r"});
  EXPECT_EQ(Queued(reference), std::vector<std::string>{"F 1\r"});
}

TEST(SettingsDialogs, TextsFollowTheLanguageReadAtEachOpening) {
  const struct {
    const char* config;
    const char* clock;
    const char* ok;
    const char* mode;
  } cases[] = {
      {"[config]\r\nlanguage=0\r\n", "设置时钟", "设置", "设置测量方式"},
      {"[config]\r\nlanguage=3\r\n", "Set clock", "OK", "Set measurement mode"},
      {"[config]\r\nlanguage=x\r\n", "", "", ""},
  };
  for (const auto& c : cases) {
    ConfigFile config(c.config);
    CSetClockDialog clock;
    EXPECT_EQ(clock.windowTitle().toStdString(), c.clock);
    EXPECT_EQ(clock.OkButton()->text().toStdString(), c.ok);
    CMeasurementModeDialog mode;
    EXPECT_EQ(mode.windowTitle().toStdString(), c.mode);
  }
}

// Digits typed at opening go into the first field; a one-digit fraction is
// shown as the hundredths it means before anything is sent, however OK is
// pressed, and the next OK sends what the fields show.
TEST(SettingsDialogs, CalibrationTakesDigitsAtOpeningAndSendsWhatTheFieldsShow) {
  ConfigFile config(kEnglish);
  const std::pair<const char*, std::function<void(CCalibrationDialog&)>> presses[] = {
      {"Return", [](CCalibrationDialog& d) { QTest::keyClick(d.FractionEdit(), Qt::Key_Return); }},
      {"mouse", [](CCalibrationDialog& d) { QTest::mouseClick(d.OkButton(), Qt::LeftButton); }},
  };
  for (const auto& [how, pressOk] : presses) {
    SCOPED_TRACE(how);
    RecordingLink link;
    CCalibrationDialog dialog(link);
    ShowActive(dialog);
    link.Report("1310");
    QTest::keyClicks(QApplication::focusWidget(), "1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "5");
    EXPECT_EQ(dialog.IntegerEdit()->text(), "1");
    EXPECT_EQ(dialog.FractionEdit()->text(), "5");
    pressOk(dialog);
    EXPECT_EQ(Queued(link, dialog), std::vector<std::string>{"B\r"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.FractionEdit()->text(), "05");
    EXPECT_EQ(dialog.WaitLabel()->text().toStdString(),
              "The fraction is in hundredths and is sent as shown: check it and press OK again.");
    pressOk(dialog);
    EXPECT_EQ(Queued(link, dialog), (std::vector<std::string>{"B\r", "C 3 +01.05\r"}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
}

// The fields follow the PC's clock until the operator touches one: a key or
// a click in a field, even one that changes no value yet, keeps every field
// as the operator left it however many ticks follow.
TEST(SettingsDialogs, AClockFieldTheOperatorTouchedIsNeverOverwrittenByTheClock) {
  ConfigFile config(kEnglish);
  const struct {
    const char* touch;
    std::function<void(CSetClockDialog&)> act;
    const char* sent;
  } cases[] = {
      {"a digit in the seconds", [](CSetClockDialog& d) { QTest::keyClick(d.SecondList(), Qt::Key_4); },
       "T 26/12/07 10:00:40\r"},
      {"a click in the date",
       [](CSetClockDialog& d) { QTest::mouseClick(d.DateCtrl()->findChild<QLineEdit*>(), Qt::LeftButton); },
       "T 26/12/07 10:00:00\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.touch);
    QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
    CSetClockDialog dialog(nullptr, [&] { return now; }, std::chrono::milliseconds(0));
    ShowActive(dialog);
    c.act(dialog);
    now = now.addSecs(17);
    guitest::Drain();  // the clock ticks
    guitest::Drain();
    dialog.OkButton()->click();
    EXPECT_EQ(AtOnce(dialog), std::vector<std::string>{c.sent});
  }
}

}  // namespace
