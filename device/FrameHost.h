#pragma once
// What the main frame's link and command logic needs from the window it runs
// in. The windowed program implements it with QTimer, QMessageBox and the real
// toolbar, tabs and pages; the command-line companion with its own event loop
// and standard error; tests with a fake clock and scripted answers.
//
// Every call is made on the UI thread, except Post, which any thread may call.
#include <functional>
#include <string>

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// Main frame timer ids.
inline constexpr int TIMER_POLL = 1;
inline constexpr int TIMER_REPLY_WATCHDOG = 2;
inline constexpr int TIMER_LINK_GUARD = 4;

// Toolbar image numbers set at run time.
namespace toolbar_image {
inline constexpr int kRealTimeIdle = 1;
inline constexpr int kSaveAfterRead = 10;
inline constexpr int kSaveAfterSettings = 14;
inline constexpr int kLinkStart = 15;
inline constexpr int kRealTimeRunning = 16;
inline constexpr int kConnected = 17;
inline constexpr int kDisconnected = 18;
}  // namespace toolbar_image

class IFrameHost {
 public:
  virtual ~IFrameHost() = default;

  // Window timers: each tick calls back the logic's OnTimer(id). Starting a
  // running timer restarts it with the new period.
  virtual void StartTimer(int id, int periodMs) = 0;
  virtual void KillTimer(int id) = 0;

  // A posted message: fn runs on the UI thread after the current handler.
  virtual void Post(std::function<void()> fn) = 0;

  // A modal message box (UTF-8 texts). Blocks the handler until answered.
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                               BoxButtons buttons) = 0;

  // Status bar note pane (exactly as wide as its text).
  virtual void SetStatusNote(const std::string& text) = 0;

  // Toolbar: the link-status button's image; button 0's real-time state
  // (idle: image 1, "实时测试"/"Real-time"; running: image 16, "停止测试"/"StopReading");
  // button 9's image (10 save-after-read, 14 save-after-settings).
  virtual void SetLinkImage(int image) = 0;
  virtual void SetRealTimeButton(bool running) = 0;
  virtual void SetSaveButtonImage(int image) = 0;

  // The form view's tab control and pages (page 0 table, page 1 graph).
  // ShowPage(p) shows page p and hides the other.
  virtual int TabCount() = 0;
  virtual void DeleteTab(int index) = 0;
  virtual void InsertTab(int index, const std::string& caption) = 0;
  virtual void SelectTab(int index) = 0;
  virtual void ShowPage(int page) = 0;

  // The graph page: UM_GRAPH_CLEAR, and UM_GRAPH_UPDATE with a real-time value
  // text (the six bytes cut from the record, GBK/ASCII). Both are posted.
  virtual void PostGraphClear() = 0;
  virtual void PostGraphUpdate(const std::string& valueText) = 0;

  // Runs a settings dialog modally: kind 4 clock, 5 wavelength, 6 calibration,
  // 7 measurement mode. Hosts without the dialogs do nothing.
  virtual void RunSettingsDialog(int kind) = 0;
};
