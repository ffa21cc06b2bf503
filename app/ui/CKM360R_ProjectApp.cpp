#include "app/ui/CKM360R_ProjectApp.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "common/FrameTexts.h"
#include "common/Language.h"
#include "app/StartupChecks.h"
#include "app/ui/CAboutBox.h"
#include "app/ui/CKM360R_ProjectDoc.h"
#include "app/ui/CMainFrame.h"

namespace {

void ReportStartupFailure(bool boxPossible) {
  std::fprintf(stderr, "%s\n", kStartupFailure);
  if (boxPossible) {
    QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle), QString::fromUtf8(kStartupFailure));
  }
}

}  // namespace

CKM360R_ProjectApp::CKM360R_ProjectApp() = default;

CKM360R_ProjectApp::~CKM360R_ProjectApp() {
  // The window before the document it shows.
  m_pMainFrame.reset();
  m_pDocument.reset();
}

void CKM360R_ProjectApp::SetSettingsKey() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("KM360R_Project"));
}

bool CKM360R_ProjectApp::PlatformReady() {
  if (startup::DisplayPlatformUsable([](const char* name) { return std::getenv(name); })) return true;
  ReportStartupFailure(false);
  return false;
}

bool CKM360R_ProjectApp::CodecReady(bool boxPossible) {
  if (startup::GbkCodecUsable()) return true;
  ReportStartupFailure(boxPossible);
  return false;
}

bool CKM360R_ProjectApp::InitInstance(const Options& options) {
  m_pDocument = std::make_unique<CKM360R_ProjectDoc>();
  if (!m_pDocument->OnNewDocument()) return false;

  // config.ini is read here, once, for the window and its station.
  m_settings = config::Settings::Read();
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

void CKM360R_ProjectApp::OnAppAbout() {
  CAboutBox box(m_pMainFrame.get());
  box.exec();
}

std::string CKM360R_ProjectApp::Caption() const {
  if (const auto caption = MainWindowCaption(m_settings.LanguageIndex())) return *caption;
  return ComposedCaption();
}

std::string CKM360R_ProjectApp::ComposedCaption() const {
  const std::string document = m_pDocument ? m_pDocument->GetTitle() : std::string();
  return document.empty() ? std::string(kApplicationTitle) : document + " - " + kApplicationTitle;
}
