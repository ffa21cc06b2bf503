#pragma once
// Helpers for the window tests: the configuration beside the test program,
// bounded waits on the event loop, and answering message boxes as a person would.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/ui/CApplication.h"
#include "tests/support/SimProcess.h"

class CMainView;
class CMainFrame;
class CTablePageWindow;
class CGraphPageWindow;

namespace guitest {

// The Link button's position on the main window's toolbar.
inline constexpr int kLinkButton = 15;

// A window's text as the UTF-8 the tests compare with.
inline std::string Str(const QString& s) { return s.toStdString(); }

// Puts `content` (or no file at all) as config.ini beside the test program and
// puts the previous state back when it goes.
class ConfigFile {
 public:
  explicit ConfigFile(const std::optional<std::string>& content);
  ~ConfigFile();
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;

 private:
  std::optional<std::string> m_previous;
};

// Runs the event loop until `done` holds; false if it still does not after
// `timeoutMs` (a guard against hanging, not a timing check).
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);

// Lets queued events run once.
void Drain();

// Answers the next message box with `button` when it appears, and remembers
// what it said.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button);
  ~BoxAnswerer();
  bool Answered() const { return m_bAnswered; }
  const QString& Text() const { return m_text; }
  const QString& Caption() const { return m_caption; }
  int Boxes() const { return m_nBoxes; }
  // The button Enter would have pressed.
  QMessageBox::StandardButton DefaultButton() const { return m_default; }

 private:
  void Poll();
  QMessageBox::StandardButton m_button;
  QTimer m_timer;
  bool m_bAnswered = false;
  int m_nBoxes = 0;
  QMessageBox::StandardButton m_default = QMessageBox::NoButton;
  QString m_text;
  QString m_caption;
};

// The whole program started in this process as the real one starts: the
// document, the main frame shown maximised.
struct RunningApp {
  explicit RunningApp(const CApplication::Options& options = {});
  ~RunningApp();
  // Waits for the view's page timer.
  bool WaitForPages();
  CMainView* View() const;
  CTablePageWindow* TablePageWindow() const;
  CGraphPageWindow* GraphPageWindow() const;
  std::unique_ptr<CApplication> app;
};

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
class PortDirectory {
 public:
  explicit PortDirectory(const QString& dir) { setenv("KM360R_PORT_DIR", dir.toLocal8Bit().constData(), 1); }
  ~PortDirectory() { unsetenv("KM360R_PORT_DIR"); }
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

