#include "device/MainFrameLogic.h"

#include <chrono>
#include <utility>

#include "app/GbkKeywords.h"
#include "app/SharedState.h"
#include "app/TextRules.h"
#include "device/PortNames.h"
#include "graph/GraphPageState.h"
#include "table/TablePage.h"

namespace {

// The meter's line: 19200 baud, no parity, 8 data bits, 1 stop bit; the
// driver watches "character received" and "event character".
constexpr int kBaud = 19200;
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr uint32_t kEventMask = 3;
constexpr int kWriteBufferSize = 1024;

constexpr int kPollPeriodMs = 1000;
constexpr int kRealTimeWatchdogMs = 1000;
constexpr int kHistoryWatchdogMs = 10000;
constexpr int kLinkGuardMs = 1000;

constexpr int kRealTimeDescriptionWidth = 200;
constexpr int kHistoryDescriptionWidth = 150;

// The graph page after a real-time start: 300 rows of room, the first value
// goes to row 1.
constexpr int kGraphFirstRow = 1;
constexpr int kGraphRows = 300;

// The dBm value of a real-time record: six bytes, ten bytes after the first
// byte of "对数" (byte 9 when the label is missing).
constexpr int kGraphValueOffset = 10;
constexpr int kGraphValueLength = 6;

}  // namespace

MainFrameLogic::MainFrameLogic(IFrameHost& host, TablePage& table, CSerialChannel& channel,
                               FrameTexts texts, std::string languageValue)
    : m_host(host),
      m_table(table),
      m_channel(channel),
      m_texts(std::move(texts)),
      m_strLanguage(std::move(languageValue)),
      m_language(lang::Resolve(m_strLanguage)) {
  g_bConnected = false;
  g_bLinkBusy = false;
}

MainFrameLogic::~MainFrameLogic() {
  StopScanThread();
  // The channel reports to this object: its monitor must have ended before
  // the object goes. Stopping releases a monitor that waits for this (the UI)
  // thread, so the wait is short; the bound only guards against a hang.
  m_channel.StopMonitor();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (m_channel.IsThreadAlive() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// ---------------------------------------------------------------------------
// Small helpers

void MainFrameLogic::Box(const std::string& text) {
  m_host.MessageBox(text, m_texts.m_strMsgCaption, BoxButtons::Ok);
}

bool MainFrameLogic::CheckConnected() {
  if (g_bConnected) return true;
  Box(m_texts.m_strConnectFirst);
  return false;
}

bool MainFrameLogic::CheckNoHistory() {
  if (!m_bHistory) return true;
  Box(m_texts.m_strWaitHistory);
  return false;
}

void MainFrameLogic::SetRealTimeButton(bool running) {
  if (m_language) m_host.SetRealTimeButton(running);
}

void MainFrameLogic::SetSaveButtonImage(int image) {
  if (m_language) m_host.SetSaveButtonImage(image);
}

void MainFrameLogic::PostSelf(std::function<void()> fn) {
  std::weak_ptr<int> alive = m_alive;
  m_host.Post([alive, fn = std::move(fn)] {
    if (!alive.expired()) fn();
  });
}

void MainFrameLogic::PostCommand(const char* text) {
  m_pPollCommand = text;
  // The text travels with the message, so a later command cannot change what
  // an earlier, still queued one writes.
  PostSelf([this, command = m_pPollCommand] { OnSendCommand(command); });
}

void MainFrameLogic::PostStatus(const std::string& text) {
  m_pStatusText = text;
  m_host.Post([&host = m_host, note = m_pStatusText] { host.SetStatusNote(note); });
}

void MainFrameLogic::ResetGraphPage() {
  m_host.PostGraphClear();
  if (m_pGraphPage) {
    m_pGraphPage->m_strStatus.clear();
    m_pGraphPage->m_nNextRow = kGraphFirstRow;
    m_pGraphPage->m_nRowCount = kGraphRows;
  }
}

// ---------------------------------------------------------------------------
// Writing commands and the reply watchdog

void MainFrameLogic::OnSendCommand(const std::string& text) {
  m_channel.Send(text);
  if (m_bAwaitReply) return;
  if (m_bRealTime) {
    ArmWatchdog(kRealTimeWatchdogMs);
  } else if (m_bHistory) {
    ArmWatchdog(kHistoryWatchdogMs);
  }
}

void MainFrameLogic::ArmWatchdog(int periodMs) {
  m_bAwaitReply = 1;
  m_nWatchdogTicks = 0;
  m_nWatchdogPeriodMs = periodMs;
  m_host.StartTimer(TIMER_REPLY_WATCHDOG, periodMs);
}

void MainFrameLogic::DisarmWatchdog() {
  m_bAwaitReply = 0;
  m_nWatchdogTicks = 0;
  m_host.KillTimer(TIMER_REPLY_WATCHDOG);
}

void MainFrameLogic::OnTimer(int id) {
  switch (id) {
    case TIMER_POLL:
      if (m_bRealTime && !m_bAwaitReply) PostCommand("D\r");
      break;
    case TIMER_REPLY_WATCHDOG:
      WatchdogStep();
      break;
    case TIMER_LINK_GUARD:
      g_bLinkBusy = false;
      m_host.KillTimer(TIMER_LINK_GUARD);
      break;
    default:
      break;
  }
}

void MainFrameLogic::WatchdogStep() {
  if (!m_bAwaitReply) return;
  if (++m_nWatchdogTicks != 2) return;

  // Second tick without the awaited reply: the meter is lost.
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  m_nWatchdogTicks = 0;
  m_host.SetLinkImage(toolbar_image::kDisconnected);
  PostStatus(m_texts.m_strDisconnected);
  m_host.KillTimer(TIMER_REPLY_WATCHDOG);
  m_bHistory = false;
  g_bConnected = false;
  m_host.KillTimer(TIMER_POLL);
  m_channel.StopMonitor();
  m_bRealTime = false;
  m_bAwaitReply = 0;
  Box(m_texts.m_strLostMeter);
}

// ---------------------------------------------------------------------------
// Reply assembly

void MainFrameLogic::OnRxChar(unsigned char byte) {
  std::string& buffer = g_strReplyBuffer;
  const char c = byte == 0 ? ' ' : static_cast<char>(byte);
  buffer.push_back(c);

  // The buffer is emptied at every "?" and "$", and neither byte can be the
  // trail byte of a GBK character, so the new byte is the only place either
  // can be.
  if (c == '?') {
    g_bConnected = true;
    buffer.clear();
    return;
  }
  if (c != '$') {
    if (buffer.size() >= kReplyBufferCap) buffer.clear();
    return;
  }

  std::string record = buffer;
  buffer.clear();
  RouteRecord(std::move(record));
}

void MainFrameLogic::RouteRecord(std::string record) {
  if (m_bRealTime) {
    const int at = text::Pos(record, gbk::kLog) + kGraphValueOffset;
    g_strGraphValue = text::Mid(record, at, kGraphValueLength);
    m_host.PostGraphUpdate(g_strGraphValue);
    DisarmWatchdog();
  }

  const bool completes = text::Contains(record, gbk::kSuccess) ||
                         text::Contains(record, gbk::kRange7Cal) ||
                         text::Contains(record, gbk::kWavelengthCodesEnd);
  const bool historyEnd = text::Contains(record, gbk::kHistoryEnd);

  // A history transfer of a full memory runs for minutes: every record shows
  // the meter is alive, so the silence count starts again. Two periods
  // without any record still mean the meter is lost.
  if (m_bHistory && m_bAwaitReply && !historyEnd) {
    m_nWatchdogTicks = 0;
    m_host.StartTimer(TIMER_REPLY_WATCHDOG, m_nWatchdogPeriodMs);
  }

  if (m_recordListener) m_recordListener(record);
  // The record travels with the message, so none is overwritten before the
  // table page has taken it.
  PostSelf([this, r = std::move(record)] { m_table.OnRecordReady(r); });

  if (completes) DisarmWatchdog();
  if (historyEnd) {
    m_bHistory = false;
    DisarmWatchdog();
    Box(m_texts.m_strHistoryDone);
    PostStatus(m_texts.m_strConnected);
  }
}

// ---------------------------------------------------------------------------
// The link

void MainFrameLogic::OnLink() {
  // A scan can last far longer than the link guard: a second one must not
  // run on the same channel.
  if (m_bScanning) return;
  if (g_bLinkBusy) return;
  g_bLinkBusy = true;
  m_host.StartTimer(TIMER_LINK_GUARD, kLinkGuardMs);

  if (m_bHistory) {
    Box(m_texts.m_strWaitHistory);
    return;
  }
  if (g_bConnected) {
    Disconnect();
    return;
  }
  StartScan();
}

void MainFrameLogic::Disconnect() {
  m_host.KillTimer(TIMER_POLL);
  m_channel.StopMonitor();
  m_bRealTime = false;
  SetRealTimeButton(false);
  g_bConnected = false;
  g_nDataKind = datakind::kNothing;
  m_host.SetLinkImage(toolbar_image::kDisconnected);
  PostStatus(m_texts.m_strDisconnected);
}

void MainFrameLogic::OnDeviceLost() {
  // While a scan runs the channel belongs to the scan, which moves on to the
  // next candidate by itself.
  if (m_bScanning) return;
  m_host.KillTimer(TIMER_REPLY_WATCHDOG);
  m_bHistory = false;
  m_bRealTime = false;
  m_bAwaitReply = 0;
  Box(m_texts.m_strDisconnected);
  OnLink();
}

void MainFrameLogic::OnDriverError(const std::string& text) {
  m_host.MessageBox(text, "Application Error", BoxButtons::Ok);
}

void MainFrameLogic::PostToUi(std::function<void()> fn) { m_host.Post(std::move(fn)); }

void MainFrameLogic::SetPortOverride(std::string devicePath) {
  m_strPortOverride = std::move(devicePath);
}

void MainFrameLogic::StartScan() {
  StopScanThread();  // a finished scan's thread is joined here at the latest
  {
    std::lock_guard lock(m_scanMutex);
    m_bStopScan = false;
  }
  m_bScanning = true;
  m_scanThread = std::thread([this, override = m_strPortOverride] {
    std::vector<std::string> candidates;
    if (!override.empty()) {
      // "COM5" is taken as the port of that name, anything else as a device path.
      candidates.push_back(ports::ResolvePortName(override));
    } else {
      for (const ports::PortCandidate& c : ports::ScanCandidates()) {
        candidates.push_back(c.devicePath);
      }
    }
    RunScan(std::move(candidates));
  });
}

bool MainFrameLogic::ScanSleep(int ms) {
  std::unique_lock lock(m_scanMutex);
  return !m_scanWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bStopScan; });
}

void MainFrameLogic::RunScan(std::vector<std::string> candidates) {
  for (const std::string& port : candidates) {
    if (!m_channel.Open(this, port, kBaud, kParity, kDataBits, kStopBits, kEventMask,
                        kWriteBufferSize)) {
      continue;  // cannot be opened: counts as not answering
    }
    m_channel.StartMonitor();
    for (int attempt = 0; attempt < kProbeTries; ++attempt) {
      m_channel.Send("?\r");
      if (!ScanSleep(kProbeIntervalMs)) return;
      if (g_bConnected) {
        PostSelf([this, port] { FinishScan(true, port); });
        return;
      }
    }
    m_channel.StopMonitor();
  }
  PostSelf([this] { FinishScan(false, {}); });
}

void MainFrameLogic::FinishScan(bool success, const std::string& port) {
  if (m_scanThread.joinable()) m_scanThread.join();  // it ended right after posting
  if (success) {
    m_strConnectedPort = port;
    PostStatus(m_texts.m_strConnected);
    m_host.SetLinkImage(toolbar_image::kConnected);
  } else {
    Box(m_texts.m_strConnectFailed);
    PostStatus(m_texts.m_strDisconnected);
    m_host.SetLinkImage(toolbar_image::kDisconnected);
    g_bConnected = false;
    g_bLinkBusy = false;
  }
  m_bScanning = false;
}

void MainFrameLogic::StopScanThread() {
  {
    std::lock_guard lock(m_scanMutex);
    m_bStopScan = true;
  }
  m_scanWake.notify_all();
  if (m_scanThread.joinable()) m_scanThread.join();
}

// ---------------------------------------------------------------------------
// Reading commands

void MainFrameLogic::OnReadRealTime() {
  g_bParamView = false;
  if (!CheckConnected()) return;
  if (m_bRealTime) {
    m_bAwaitReply = 0;
    m_host.KillTimer(TIMER_POLL);
    m_host.KillTimer(TIMER_REPLY_WATCHDOG);
    SetRealTimeButton(false);
    m_bRealTime = false;
    return;
  }
  if (!CheckNoHistory()) return;

  ResetGraphPage();
  m_bRealTime = true;
  m_bHistory = false;
  g_nDataKind = datakind::kRealTime;
  g_nRowCount = 0;
  m_table.ApplyLayout(Layout::Measurement, kRealTimeDescriptionWidth);
  m_host.KillTimer(TIMER_POLL);
  m_host.StartTimer(TIMER_POLL, kPollPeriodMs);
  g_strReplyBuffer.clear();
  SetRealTimeButton(true);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  const int tabs = m_host.TabCount();
  m_host.DeleteTab(0);
  m_host.InsertTab(0, m_texts.m_strReadRealTime);
  if (tabs == 1) m_host.InsertTab(1, m_texts.m_strGraphicData);
  PostCommand("D\r");
}

void MainFrameLogic::OnText() {
  if (!m_bRealTime) OnReadRealTime();
  m_host.SelectTab(0);
  m_host.ShowPage(0);
}

void MainFrameLogic::OnGraphic() {
  if (!m_bRealTime) OnReadRealTime();
  m_host.SelectTab(1);
  m_host.ShowPage(1);
}

void MainFrameLogic::OnReadHistory() {
  g_bParamView = false;
  if (!CheckConnected() || !CheckNoHistory()) return;
  m_bHistory = true;
  m_host.PostGraphClear();
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  PostStatus(m_texts.m_strReceivingHistory);
  m_bRealTime = false;  // the poll timer keeps running but sends nothing
  g_nDataKind = datakind::kHistory;
  g_nRowCount = 0;
  g_strReplyBuffer.clear();
  m_host.SelectTab(0);
  m_host.DeleteTab(0);
  m_host.InsertTab(0, m_texts.m_strReadHistory);
  m_host.DeleteTab(1);
  m_table.ApplyLayout(Layout::Measurement, kHistoryDescriptionWidth);
  m_host.ShowPage(0);
  PostCommand("H\r");
}

void MainFrameLogic::OnReadAdValues() { ReadListing(datakind::kHistory, Layout::AD, "A\r"); }

void MainFrameLogic::OnReadWavelengthCodes() {
  ReadListing(datakind::kWavelengthCodes, Layout::Wavelength, "B\r");
}

void MainFrameLogic::ReadListing(int dataKind, Layout layout, const char* command) {
  if (!CheckConnected() || !CheckNoHistory()) return;
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  m_host.PostGraphClear();
  g_nDataKind = dataKind;
  g_nRowCount = 0;
  g_strReplyBuffer.clear();
  m_bRealTime = false;
  m_bHistory = false;
  m_host.SelectTab(0);
  m_table.ApplyLayout(layout);
  m_host.ShowPage(0);
  PostCommand(command);  // not watched
}

void MainFrameLogic::OnReadParams() {
  g_bParamView = true;
  if (!CheckConnected() || !CheckNoHistory()) return;
  SetRealTimeButton(false);
  SetSaveButtonImage(toolbar_image::kSaveAfterRead);
  m_host.PostGraphClear();
  g_nDataKind = datakind::kParameters;
  g_nRowCount = 0;
  m_bRealTime = false;
  m_bHistory = false;
  g_strReplyBuffer.clear();
  m_host.SelectTab(0);
  m_host.DeleteTab(0);
  m_host.InsertTab(0, m_texts.m_strReadParams);
  m_host.DeleteTab(1);
  m_table.ApplyLayout(Layout::Parameters);
  m_host.ShowPage(0);
  PostCommand("R\r");
}

void MainFrameLogic::OnReset() {
  if (!CheckConnected() || !CheckNoHistory()) return;
  // Polling stops whatever the answer; the button keeps its label.
  m_bRealTime = false;
  if (m_host.MessageBox(m_texts.m_strResetAsk, m_texts.m_strMsgCaption, BoxButtons::YesNo) !=
      BoxAnswer::Yes) {
    return;
  }
  SetRealTimeButton(false);
  g_strReplyBuffer.clear();
  PostCommand("I\r");
}

void MainFrameLogic::OnDeleteShownData() {
  if (!CheckNoHistory()) return;
  if (m_host.MessageBox(m_texts.m_strDeleteAsk, m_texts.m_strDeleteAsk, BoxButtons::YesNo) !=
      BoxAnswer::Yes) {
    return;
  }
  m_host.PostGraphClear();
  m_bRealTime = false;
  SetRealTimeButton(false);
  PostStatus(std::string());
  m_host.KillTimer(TIMER_POLL);
  m_table.DeleteAllRows();
  m_host.DeleteTab(0);
  m_host.InsertTab(0, m_texts.m_strTextData);
  g_nDataKind = datakind::kNothing;
  g_nRowCount = 0;
  g_strReplyBuffer.clear();
  // With kind 99 the page only brings its last row into view.
  PostSelf([this] { m_table.OnRecordReady(std::string()); });
}

// ---------------------------------------------------------------------------
// File commands (the table page does the file work)

void MainFrameLogic::StopRealTimeReading() {
  m_host.KillTimer(TIMER_POLL);
  m_bRealTime = false;
}

void MainFrameLogic::OnOpenFile() {
  if (!CheckNoHistory()) return;
  m_bRealTime = false;
  SetRealTimeButton(false);
  m_host.KillTimer(TIMER_POLL);
  PostSelf([this] { m_table.OnOpenFile(); });
}

void MainFrameLogic::OnSaveData() {
  m_bRealTime = false;
  SetRealTimeButton(false);
  m_host.KillTimer(TIMER_POLL);
  PostSelf([this] { m_table.OnSaveData(); });
}
