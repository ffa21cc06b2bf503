#pragma once
// What the main window shows of the program's state, as one value: the
// toolbar's link lamp, real-time and save buttons, the status bar's note, the
// tab items of the form view and the page in front. The window's presenter
// builds it from the meter service's state and hands it over whole; the
// window applies it in one place.
#include <string>
#include <vector>

// Toolbar image numbers (positions in the toolbar's image list).
namespace toolbar_image {
inline constexpr int kRealTimeIdle = 1;
inline constexpr int kSaveAfterRead = 10;
inline constexpr int kSaveAfterSettings = 14;
inline constexpr int kLinkStart = 15;
inline constexpr int kRealTimeRunning = 16;
inline constexpr int kConnected = 17;
inline constexpr int kDisconnected = 18;
}  // namespace toolbar_image

struct ViewState {
  int linkImage = toolbar_image::kLinkStart;
  // Button 0: idle (image 1, "实时测试"/"Real-time") or running (image 16,
  // "停止测试"/"StopReading").
  bool realTimeRunning = false;
  // Button 9's image: after a read (10) or after a setting (14).
  int saveImage = toolbar_image::kSaveAfterRead;
  // The status bar's note pane (UTF-8).
  std::string statusNote;
  // The status bar's link pane: the port, the scan, a loss, a history read's
  // progress, a reset's answer (UTF-8); and the link lamp's tooltip, which
  // keeps to the link.
  std::string linkNote;
  std::string linkTip;
  // Tab items from left to right: item 0 stands for the table page, item 1
  // for the graph page. The selected item, and the page in front (0 table,
  // 1 graph); selecting an item from the program does not by itself bring its
  // page to the front.
  std::vector<std::string> tabs;
  int selectedTab = 0;
  int shownPage = 0;
  // The window title's part: the data file the table came from or was saved
  // to (its name, UTF-8; empty when none), and whether the table holds rows
  // or cell edits that no file holds yet.
  std::string fileName;
  bool unsaved = false;

  bool operator==(const ViewState&) const = default;
};

// The window that shows a ViewState.
class IFrameView {
 public:
  virtual ~IFrameView() = default;
  virtual void Apply(const ViewState& state) = 0;
};
