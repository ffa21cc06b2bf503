#include "GuiTestSupport.h"

#include <QPushButton>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/Language.h"
#include "app/ui/CMainView.h"
#include "app/ui/CMainFrame.h"
#include "app/MeterService.h"
#include "app/CommandSurface.h"
#include "graph/ui/CGraphPageWindow.h"
#include "table/ui/CTablePageWindow.h"

namespace guitest {

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteOrRemove(const std::string& path, const std::optional<std::string>& content) {
  if (!content) {
    std::filesystem::remove(path);
    return;
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << *content;
}

}  // namespace

ConfigFile::ConfigFile(const std::optional<std::string>& content) : m_previous(ReadFile(lang::ConfigPath())) {
  WriteOrRemove(lang::ConfigPath(), content);
}

ConfigFile::~ConfigFile() { WriteOrRemove(lang::ConfigPath(), m_previous); }

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

int RedPixels(const QImage& picture) {
  int n = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QColor c = picture.pixelColor(x, y);
      n += c.red() > 200 && c.green() < 90 && c.blue() < 90;
    }
  }
  return n;
}

void Drain() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton button) : m_button(button) {
  m_timer.setInterval(10);
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
  m_timer.start();
}

BoxAnswerer::~BoxAnswerer() { m_timer.stop(); }

void BoxAnswerer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  ++m_nBoxes;
  m_text = box->text();
  m_caption = box->windowTitle();
  if (box->defaultButton()) m_default = box->standardButton(box->defaultButton());
  QAbstractButton* b = box->button(m_button);
  if (!b) return;
  m_bAnswered = true;
  b->click();
}

RunningApp::RunningApp(const CApplication::Options& options)
    : app(std::make_unique<CApplication>()) {
  app->InitInstance(options);
}

RunningApp::~RunningApp() {
  app.reset();
  Drain();
}

bool RunningApp::WaitForPages() {
  return WaitFor([this] { return View() && View()->PagesCreated(); });
}

CMainView* RunningApp::View() const {
  return app && app->MainFrame() ? app->MainFrame()->View() : nullptr;
}

CTablePageWindow* RunningApp::TablePageWindow() const { return View() ? View()->m_tablePage : nullptr; }

CGraphPageWindow* RunningApp::GraphPageWindow() const { return View() ? View()->m_graphPage : nullptr; }

}  // namespace guitest
