// The four settings from the main window's commands against the simulated
// meter: the dialog is driven as an operator would, the meter receives exactly
// the dialog's command, and its answer brings the success box, or, refused,
// the failure path.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "GuiMeterSupport.h"
#include "app/CommandSurface.h"
#include "app/ui/CMainFrame.h"
#include "settings/ui/CCalibrationDialog.h"
#include "settings/ui/CSetClockDialog.h"
#include "settings/ui/CSetWavelengthDialog.h"
#include "settings/ui/CMeasurementModeDialog.h"

using guitest::BoxAnswerer;
using guitest::ConfigFile;
using guitest::PortDirectory;
using guitest::RunningApp;
using guitest::SimulatedMeter;
using guitest::WaitFor;

namespace {

// Acts on each modal dialog of type T that opens: `act` is called with it
// until it returns true (it may wait for the meter's answer first).
template <class T>
class DialogDriver {
 public:
  explicit DialogDriver(std::function<bool(T*)> act) : m_act(std::move(act)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      // A dialog done with is marked on itself: a dialog opened again may
      // be a new one at the address of the one before.
      if (!dialog || dialog->property("driven").toBool()) return;
      if (m_act(dialog)) {
        dialog->setProperty("driven", true);
        ++m_nDriven;
      }
    });
    m_timer.start(20);
  }
  int Driven() const { return m_nDriven; }

 private:
  std::function<bool(T*)> m_act;
  QTimer m_timer;
  int m_nDriven = 0;
};

class SettingsWithMeter : public ::testing::Test {
 protected:
  // Starts the program against a meter started with `meterArgs` and links.
  void Start(const QStringList& meterArgs = {}) {
    m_window = std::make_unique<guitest::MeterWindow>("1", meterArgs);
    frame = m_window->frame;
    ASSERT_TRUE(m_window->Ready());
    frame->OnCommand(cmd::ID_LINK_EN);
    ASSERT_TRUE(WaitFor([this] { return frame->Service().Connected(); }, 20000));
  }
  // The meter's command lines after the probe.
  QStringList Received() const { return m_window->meter.Commands().mid(1); }

  CMainFrame* frame = nullptr;

 private:
  std::unique_ptr<guitest::MeterWindow> m_window;
};

TEST_F(SettingsWithMeter, EachDialogsCommandReachesTheMeterAndSuccessIsConfirmed) {
  Start();
  const struct {
    int command;
    std::function<void()> drive;  // runs the command with its dialog driven
    QStringList received;
  } cases[] = {
      {cmd::ID_SET_CLOCK_EN,
       [this] {
         DialogDriver<CSetClockDialog> d([](CSetClockDialog* dlg) {
           dlg->DateCtrl()->setDate(QDate(2026, 12, 6));
           dlg->HourList()->setCurrentIndex(9);
           dlg->MinuteList()->setCurrentIndex(5);
           dlg->SecondList()->setCurrentIndex(30);
           dlg->OkButton()->click();
           return true;
         });
         frame->OnCommand(cmd::ID_SET_CLOCK_EN);
       },
       {"T 26/12/06 09:05:30"}},
      {cmd::ID_SET_WAVELENGTH_EN,
       [this] {
         DialogDriver<CSetWavelengthDialog> d([](CSetWavelengthDialog* dlg) {
           if (dlg->CurrentLabel()->text() != "1310") return false;  // the meter's answer
           dlg->WaveLengthList()->setCurrentIndex(0);
           dlg->OkButton()->click();
           return true;
         });
         frame->OnCommand(cmd::ID_SET_WAVELENGTH_EN);
       },
       {"B", "L 0"}},
      {cmd::ID_CALIBRATE_EN,
       [this] {
         DialogDriver<CCalibrationDialog> d([](CCalibrationDialog* dlg) {
           if (dlg->CurrentLabel()->text() != "850 ") return false;
           dlg->IntegerEdit()->setText("1");
           dlg->FractionEdit()->setText("05");
           dlg->OkButton()->click();
           return true;
         });
         frame->OnCommand(cmd::ID_CALIBRATE_EN);
       },
       {"B", "C 0 +01.05"}},
      {cmd::ID_SET_MODE_EN,
       [this] {
         DialogDriver<CMeasurementModeDialog> d([](CMeasurementModeDialog* dlg) {
           dlg->ReferenceButton()->click();
           dlg->OkButton()->click();
           return true;
         });
         frame->OnCommand(cmd::ID_SET_MODE_EN);
       },
       {"F 1"}},
  };
  QStringList expected;
  for (const auto& c : cases) {
    BoxAnswerer box(QMessageBox::Ok);
    c.drive();
    expected += c.received;
    ASSERT_TRUE(WaitFor([&] { return box.Answered(); })) << c.command;
    EXPECT_EQ(box.Text().toStdString(), "Set up successful");
    EXPECT_EQ(box.Caption().toStdString(), "Massage prompt");
    EXPECT_EQ(Received(), expected);
    EXPECT_EQ(frame->Service().Shown().dataKind, DataKind::Nothing);
  }
}

TEST_F(SettingsWithMeter, ARefusedClockOpensTheDialogAgainAndOtherRefusalsShowNothing) {
  Start({"--fail-settings"});
  int clocks = 0;
  DialogDriver<CSetClockDialog> d([&](CSetClockDialog* dlg) {
    // OK the first time; the reopened dialog is cancelled.
    (++clocks == 1 ? dlg->OkButton() : dlg->CancelButton())->click();
    return true;
  });
  BoxAnswerer box(QMessageBox::Ok);
  frame->OnCommand(cmd::ID_SET_CLOCK_EN);
  ASSERT_TRUE(WaitFor([&] { return clocks == 2; }));
  EXPECT_EQ(Received().size(), 1);
  EXPECT_EQ(frame->Service().Shown().dataKind, DataKind::Clock);

  int answers = 0;
  const DataFeed::Token counting = frame->Service().Feed().Subscribe([&](const feed::Event& event) {
    if (std::holds_alternative<feed::RecordArrived>(event)) ++answers;
  });
  DialogDriver<CMeasurementModeDialog> mode([](CMeasurementModeDialog* dlg) {
    dlg->OkButton()->click();
    return true;
  });
  frame->OnCommand(cmd::ID_SET_MODE_EN);
  ASSERT_TRUE(WaitFor([&] { return answers == 1; }));  // the refusal
  guitest::Drain();
  EXPECT_EQ(Received().back().toStdString(), "F 0");
  EXPECT_FALSE(box.Answered());
  EXPECT_EQ(frame->Service().Shown().dataKind, DataKind::Mode);
  frame->Service().Feed().Unsubscribe(counting);
}

}  // namespace
