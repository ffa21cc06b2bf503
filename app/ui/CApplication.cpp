#include "app/ui/CApplication.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "common/FrameTexts.h"
#include "common/Language.h"
#include "app/StartupChecks.h"
#include "app/ui/CAboutBox.h"
#include "app/ui/CDocumentTitle.h"
#include "common/ui/UserSettings.h"
#include "app/ui/CMainFrame.h"

namespace {

void ReportStartupFailure(bool boxPossible) {
  std::fprintf(stderr, "%s\n", kStartupFailure);
  if (boxPossible) {
    QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle), QString::fromUtf8(kStartupFailure));
  }
}

}  // namespace

CApplication::CApplication() = default;

CApplication::~CApplication() {
  // The window before the document it shows.
  m_pMainFrame.reset();
  m_pDocument.reset();
}

void CApplication::SetSettingsKey() { usersettings::Select(); }

bool CApplication::PlatformReady() {
  if (startup::DisplayPlatformUsable([](const char* name) { return std::getenv(name); })) return true;
  ReportStartupFailure(false);
  return false;
}

bool CApplication::CodecReady(bool boxPossible) {
  if (startup::GbkCodecUsable()) return true;
  ReportStartupFailure(boxPossible);
  return false;
}

bool CApplication::InitInstance(const Options& options) {
  m_pDocument = std::make_unique<CDocumentTitle>();
  if (!m_pDocument->OnNewDocument()) return false;

  // config.ini is read here, once, for the window and its station; the
  // per-user file takes what older versions kept elsewhere before the window
  // reads its size and the readout its values.
  m_settings = config::Settings::Read();
  usersettings::CarryOver();
  m_pMainFrame = std::make_unique<CMainFrame>(m_settings, options.timings);
  if (options.portOverride) m_pMainFrame->SetPortOverride(*options.portOverride);
  m_pMainFrame->SetAboutHandler([this] { OnAppAbout(); });
  m_pMainFrame->SetCaption(ComposedCaption());

  // Shown, then maximised and painted at once; the first show puts the tab
  // items in.
  m_pMainFrame->show();
  m_pMainFrame->showMaximized();
  m_pMainFrame->repaint();

  m_pMainFrame->SetCaption(Caption());
  return true;
}

void CApplication::OnAppAbout() {
  CAboutBox box(m_pMainFrame.get());
  box.exec();
}

std::string CApplication::Caption() const {
  if (const auto caption = MainWindowCaption(m_settings.LanguageIndex())) return *caption;
  return ComposedCaption();
}

std::string CApplication::ComposedCaption() const {
  const std::string document = m_pDocument ? m_pDocument->GetTitle() : std::string();
  return document.empty() ? std::string(kApplicationTitle) : document + " - " + kApplicationTitle;
}
