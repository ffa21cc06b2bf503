#pragma once
// The application object: the start-up order from the settings key to the
// main window shown maximised with its caption.
#include <memory>
#include <optional>
#include <string>

#include "common/Settings.h"
#include "device/SessionTimings.h"

class CDocumentTitle;
class CMainFrame;

class CApplication {
 public:
  struct Options {
    std::optional<std::string> portOverride;  // --port PATH
    // The reading session's periods; the window tests shorten them for a
    // faster simulated meter.
    SessionTimings timings;
  };

  CApplication();
  ~CApplication();

  // Before the toolkit starts: the per-user settings file
  // (common/ui/UserSettings.h).
  static void SetSettingsKey();

  // The checks that stand before any window. On failure: "初始化COM失败!" on
  // standard error (and in a box when `boxPossible`), false.
  static bool PlatformReady();
  static bool CodecReady(bool boxPossible);

  // The new document, the main frame with its view, the main window shown
  // maximised, the caption by language. False when the window cannot be made.
  bool InitInstance(const Options& options);

  // The caption the window gets for the configured language; with none, the
  // one composed from the document and application titles.
  std::string Caption() const;
  // "Halvex - 澜屹PON光功率计管理软件 V1.0": the document's title, then the application's.
  std::string ComposedCaption() const;

  // The About command: a new About box, run modally over the main window.
  void OnAppAbout();

  CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
  CDocumentTitle* Document() const { return m_pDocument.get(); }

 private:
  config::Settings m_settings;  // as read when the window was made
  std::unique_ptr<CDocumentTitle> m_pDocument;
  std::unique_ptr<CMainFrame> m_pMainFrame;
};
