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
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/FrameTexts.h"
#include "app/Language.h"
#include "device/FrameHost.h"
#include "device/SerialChannel.h"

class TablePage;
struct GraphPageState;
enum class Layout;

class MainFrameLogic : public ISerialOwner {
 public:
  MainFrameLogic(IFrameHost& host, TablePage& table, CSerialChannel& channel, FrameTexts texts,
                 std::string languageValue);
  ~MainFrameLogic() override;
  MainFrameLogic(const MainFrameLogic&) = delete;
  MainFrameLogic& operator=(const MainFrameLogic&) = delete;

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

  // Open (32794, 61447) and Save (109, 61448): real-time reading stops, then
  // the table page does the file work (UM_OPEN_FILE, UM_SAVE_DATA).
  void OnOpenFile();
  void OnSaveData();
  // What an opened file needs before it replaces the table: the poll stops.
  void StopRealTimeReading();

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

  // The graph page whose status line and row bookkeeping a real-time start
  // resets (the window owns it; hosts without a graph page leave it unset).
  void AttachGraphPage(GraphPageState* page) { m_pGraphPage = page; }

  // Called on the UI thread with every completed record, right after it has
  // been routed (the command-line companion watches the replies through it).
  void SetRecordListener(std::function<void(const std::string& record)> listener) {
    m_recordListener = std::move(listener);
  }

  // The activity state, for the front ends and for tests.
  bool RealTime() const { return m_bRealTime; }
  bool History() const { return m_bHistory; }
  bool AwaitingReply() const { return m_bAwaitReply != 0; }
  int WatchdogTicks() const { return m_nWatchdogTicks; }
  const std::string& PollCommand() const { return m_pPollCommand; }
  const std::string& StatusText() const { return m_pStatusText; }
  const std::string& Language() const { return m_strLanguage; }
  const FrameTexts& Texts() const { return m_texts; }
  // True from a Link that starts a scan until its outcome has been shown.
  bool Scanning() const { return m_bScanning.load(); }
  // The device path of the port that answered the last successful scan.
  const std::string& ConnectedPort() const { return m_strConnectedPort; }

  // Replies longer than this without a record end are dropped: a meter (or a
  // line) sending garbage without "$" must not grow the buffer without bound.
  static constexpr size_t kReplyBufferCap = 64 * 1024;
  static constexpr int kProbeIntervalMs = 500;
  static constexpr int kProbeTries = 3;

 private:
  // Guard checks; each shows its box when it fails.
  bool CheckConnected();
  bool CheckNoHistory();
  void Box(const std::string& text);

  // Toolbar changes, made only when the language value chose a toolbar.
  void SetRealTimeButton(bool running);
  void SetSaveButtonImage(int image);

  // Writes `text` into m_pPollCommand and posts UM_SEND_COMMAND with it.
  void PostCommand(const char* text);
  // Writes `text` into m_pStatusText and posts UM_STATUS_TEXT with it.
  void PostStatus(const std::string& text);
  // Posts fn to the UI thread; it is dropped if this object is gone by then.
  void PostSelf(std::function<void()> fn);

  void ArmWatchdog(int periodMs);
  void DisarmWatchdog();
  void WatchdogStep();
  void ResetGraphPage();

  void Disconnect();
  void StartScan();
  void RunScan(std::vector<std::string> candidates);
  void FinishScan(bool success, const std::string& port);
  // Sleeps for ms; false when the object is being destroyed.
  bool ScanSleep(int ms);
  void StopScanThread();

  void RouteRecord(std::string record);
  // Read AD values and Read wavelength codes: the same steps with their own
  // data kind, layout and command.
  void ReadListing(int dataKind, Layout layout, const char* command);

  IFrameHost& m_host;
  TablePage& m_table;
  CSerialChannel& m_channel;
  FrameTexts m_texts;
  std::string m_strLanguage;
  std::optional<lang::Index> m_language;
  GraphPageState* m_pGraphPage = nullptr;
  std::function<void(const std::string&)> m_recordListener;

  // Link and reading state (UI thread).
  bool m_bRealTime = false;
  bool m_bHistory = false;
  int m_bAwaitReply = 0;
  int m_nWatchdogTicks = 0;
  int m_nWatchdogPeriodMs = 0;
  std::string m_pPollCommand;
  std::string m_pStatusText;
  std::string m_strConnectedPort;
  std::string m_strPortOverride;

  // The port scan.
  std::thread m_scanThread;
  std::atomic<bool> m_bScanning{false};
  std::mutex m_scanMutex;
  std::condition_variable m_scanWake;
  bool m_bStopScan = false;  // guarded by m_scanMutex

  // Posted closures hold a weak reference: one that runs after the frame is
  // gone does nothing.
  std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
