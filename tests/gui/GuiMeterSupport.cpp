#include "GuiMeterSupport.h"

#include <QFile>

#include "app/CommandSurface.h"
#include "app/MeterService.h"
#include "app/ui/CMainFrame.h"

namespace guitest {

SimulatedMeter::SimulatedMeter(const QStringList& extra)
    : m_process(Args(extra), PortPath().toStdString()) {}

std::vector<std::string> SimulatedMeter::Args(const QStringList& extra) const {
  std::vector<std::string> args = {"--port-dir", Dir().toStdString(), "--name", "COM3",
                                   "--log", LogPath().toStdString()};
  for (const QString& a : extra) args.push_back(a.toStdString());
  return args;
}

QStringList SimulatedMeter::Commands() const {
  QFile log(LogPath());
  if (!log.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

MeterWindow::MeterWindow(const std::string& language, const QStringList& meterArgs,
                         CApplication::Options options)
    : meter(QStringList{"--pace", "10"} + meterArgs),
      ports(meter.Dir()),
      config("[config]\r\nlanguage=" + language + "\r\n"),
      running(options),
      frame(running.app->MainFrame()) {}

CApplication::Options MeterWindow::TenfoldPace() {
  CApplication::Options options;
  options.timings.pollPeriodMs = 100;
  return options;
}

bool MeterWindow::Ready() { return meter.Started() && running.WaitForPages(); }

bool MeterWindow::Link() {
  frame->OnCommand(cmd::ID_LINK);
  return WaitFor([this] { return frame->Service().Connected(); }, 20000);
}

}  // namespace guitest
