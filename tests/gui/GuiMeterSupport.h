#pragma once
// The window tests' simulated meter: km360r-sim on a pseudo-terminal in a port
// directory of its own, so these tests run where the simulator runs (Linux).
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "tests/support/SimProcess.h"

namespace guitest {

// The simulated meter, published as COM3 in a port directory of its own; it
// logs each command line it receives.
class SimulatedMeter {
 public:
  explicit SimulatedMeter(const QStringList& extra = {});
  bool Started() const { return m_process.Ready(); }
  // Ends the meter as a signal does, so it can write its last figures.
  void Stop() { m_process.Stop(); }
  QString Dir() const { return m_dir.path(); }
  QString PortPath() const { return m_dir.filePath(QStringLiteral("COM3")); }
  // The command lines received so far, in order.
  QStringList Commands() const;

 private:
  QString LogPath() const { return m_dir.filePath(QStringLiteral("COM3.log")); }
  std::vector<std::string> Args(const QStringList& extra) const;
  QTemporaryDir m_dir;
  testsupport::SimProcess m_process;
};

// KM360R_PORT_DIR for the duration of a test.
class PortDirectory : public EnvironmentVariable {
 public:
  explicit PortDirectory(const QString& dir) : EnvironmentVariable("KM360R_PORT_DIR", dir) {}
};

// The window tests' one set-up with a meter: the configuration (a language),
// the simulated meter as COM3 on the port list, and the whole program running.
// The meter runs ten times faster than the real one and the program polls it
// every 100 ms, so a test that waits for readings waits a tenth of the time;
// the watchdogs keep their lengths, since they fire only when a meter is lost.
struct MeterWindow {
  explicit MeterWindow(const std::string& language, const QStringList& meterArgs = {},
                       CApplication::Options options = TenfoldPace());
  static CApplication::Options TenfoldPace();
  // The meter started and the window's pages are up.
  bool Ready();
  // Links through the window's Link command; true once the meter is linked.
  bool Link();

  SimulatedMeter meter;
  PortDirectory ports;
  ConfigFile config;
  RunningApp running;
  CMainFrame* const frame;
};

}  // namespace guitest
