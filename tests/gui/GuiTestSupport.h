#pragma once
// Helpers for the window tests: the configuration beside the test program,
// bounded waits on the event loop, and answering message boxes as a person would.
// They need no meter, and build wherever the window builds (GuiMeterSupport.h
// adds the simulated meter).
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
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

// An environment variable set for the duration of a test, then removed.
class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const QString& value) : m_name(name) {
    qputenv(name, value.toLocal8Bit());
  }
  ~EnvironmentVariable() { qunsetenv(m_name); }
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

 private:
  const char* m_name;
};

// Runs the event loop until `done` holds; false if it still does not after
// `timeoutMs` (a guard against hanging, not a timing check).
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);

// Pixels of the graph line's red in a picture.
int RedPixels(const QImage& picture);

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

}  // namespace guitest

