#pragma once
// Helpers for the window tests: the configuration beside the test program,
// bounded waits on the event loop, and answering message boxes as a person would.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <cstdlib>
#include <string>

#include "app/ui/CKM360R_ProjectApp.h"

class CKM360R_ProjectView;
class CPage1;
class CPage2;

namespace guitest {

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
  explicit RunningApp(const CKM360R_ProjectApp::Options& options = {});
  ~RunningApp();
  // Waits for the view's page timer.
  bool WaitForPages();
  CKM360R_ProjectView* View() const;
  CPage1* Page1() const;
  CPage2* Page2() const;
  std::unique_ptr<CKM360R_ProjectApp> app;
};

// The simulated meter, published as COM3 in a port directory of its own; it
// logs each command line it receives.
class SimulatedMeter {
 public:
  explicit SimulatedMeter(const QStringList& extra = {}) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(KM360R_SIM_PATH),
                    QStringList{"--port-dir", m_dir.path(), "--name", "COM3", "--log", LogPath()} + extra);
    m_bStarted = m_process.waitForStarted(10000) &&
                 WaitFor([this] { return QFileInfo::exists(PortPath()); }, 10000);
  }
  ~SimulatedMeter() {
    m_process.kill();
    m_process.waitForFinished(5000);
  }
  bool Started() const { return m_bStarted; }
  // Ends the meter as a signal does, so it can write its last figures.
  void Stop() {
    m_process.terminate();
    m_process.waitForFinished(5000);
  }
  QString Dir() const { return m_dir.path(); }
  QString PortPath() const { return m_dir.filePath(QStringLiteral("COM3")); }
  // The command lines received so far, in order.
  QStringList Commands() const {
    QFile log(LogPath());
    if (!log.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }

 private:
  QString LogPath() const { return m_dir.filePath(QStringLiteral("COM3.log")); }
  QTemporaryDir m_dir;
  QProcess m_process;
  bool m_bStarted = false;
};

// KM360R_PORT_DIR for the duration of a test.
class PortDirectory {
 public:
  explicit PortDirectory(const QString& dir) { setenv("KM360R_PORT_DIR", dir.toLocal8Bit().constData(), 1); }
  ~PortDirectory() { unsetenv("KM360R_PORT_DIR"); }
};

}  // namespace guitest

