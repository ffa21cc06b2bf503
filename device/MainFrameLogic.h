#pragma once
// The main frame's link and command logic without its window: connecting
// (Link, port scan), writing commands (UM_SEND_COMMAND), the poll, reply
// watchdog and link guard timers, assembling the meter's replies byte by byte
// (UM_RX_CHAR) and routing the records, and the reading commands. CMainFrame
// forwards its commands, timer ticks and received bytes here; km360r-cli drives
// the same object from its own event loop.
//
// Boundary used by CMainFrame and km360r-cli (keep these signatures; add more
// as needed).
#include <string>

#include "app/FrameTexts.h"
#include "device/FrameHost.h"
#include "device/SerialChannel.h"

class TablePage;

class MainFrameLogic : public ISerialOwner {
 public:
  MainFrameLogic(IFrameHost& host, TablePage& table, CSerialChannel& channel, FrameTexts texts,
                 std::string languageValue);
  ~MainFrameLogic() override;

  // Commands (menu and toolbar ids route here).
  void OnLink();
  void OnReadRealTime();  // toggle
  void OnText();          // menu 114
  void OnGraphic();       // menu 115
  void OnReadHistory();
  void OnReadAdValues();
  void OnReadWavelengthCodes();
  void OnReadParams();
  void OnReset();
  void OnDeleteShownData();

  // Timer tick (TIMER_POLL, TIMER_REPLY_WATCHDOG, TIMER_LINK_GUARD).
  void OnTimer(int id);

  // UM_SEND_COMMAND: write `text` and arm the reply watchdog when reading runs.
  void OnSendCommand(const std::string& text);

  // Restricts the port scan to one device path (--port PATH).
  void SetPortOverride(std::string devicePath);

  // ISerialOwner (UM_RX_CHAR and the driver's reports).
  void PostToUi(std::function<void()> fn) override;
  void OnRxChar(unsigned char byte) override;
  void OnDeviceLost() override;
  void OnDriverError(const std::string& text) override;
};
