#pragma once
// The conversation with the meter: which activity runs, the poll that asks for
// a reading every poll period (a second), the reply watchdog that notices a meter gone silent,
// the assembly of its replies, the port scan and the line. The activity is one
// explicit state; NextState is the whole transition table.
//
// It knows nothing of windows or pages: what it has to say goes, as typed
// reports, to its MeterListener. Every call is made on the UI thread.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/LifeGuard.h"
#include "common/Runtime.h"
#include "device/MeterEvents.h"
#include "device/MeterModel.h"
#include "device/PortScan.h"
#include "device/PortList.h"
#include "device/ReplyAssembler.h"
#include "device/SerialPort.h"
#include "device/SessionTimings.h"

// The main frame's timers that the session runs.
inline constexpr int TIMER_POLL = 1;
inline constexpr int TIMER_REPLY_WATCHDOG = 2;

enum class SessionState {
  Idle,       // no meter
  Scanning,   // the port scan runs
  Connected,  // the meter answered; nothing is being read
  RealTime,   // a reading asked every second
  History,    // the stored history is coming
  Listing,    // AD values, wavelength codes or system parameters are coming
  Setting,    // a setting or a reset was sent
};

enum class SessionEvent {
  Scan,             // Link while there is no meter
  ScanSucceeded,
  ScanFailed,
  ProbeAnswered,    // a "?" arrived
  StartRealTime,
  StartHistory,
  StartListing,
  StartSetting,
  Stop,             // reading stops (Save, Open, Delete, Reset, another command)
  HistoryEnded,
  WatchdogExpired,  // the second silent watchdog tick
  LineLost,
  Disconnect,       // Link while connected, or after a lost line
};

// The state after `event` in `state`; nullopt where the event has no place
// (the commands' guards keep it from happening).
std::optional<SessionState> NextState(SessionState state, SessionEvent event);

// The listings the meter sends on request, with the letters that ask for them.
enum class Listing { AdValues, WavelengthCodes, Parameters };

class ReadingSession {
 public:
  // `listener` hears every report. The session talks to a meter of `model`
  // (which outlives it). The scan tries the candidates of
  // `ports` on `port`; the poll and the watchdogs run with `timings`, and so
  // does the probe of each candidate.
  ReadingSession(IRuntime& runtime, ISerialPort& port, IPortList& ports, const meter::Model& model,
                 MeterListener listener, SessionTimings timings = {});
  ~ReadingSession();
  ReadingSession(const ReadingSession&) = delete;
  ReadingSession& operator=(const ReadingSession&) = delete;

  SessionState State() const { return m_state; }
  const SessionTimings& Timings() const { return m_timings; }
  bool Connected() const;
  // The meter on this line: its commands, its framing, its markers.
  const meter::Model& Model() const { return m_model; }
  bool Scanning() const { return m_state == SessionState::Scanning; }
  bool RealTime() const { return m_state == SessionState::RealTime; }
  bool History() const { return m_state == SessionState::History; }
  // A watched command's answer is awaited: the watchdog runs.
  bool AwaitingReply() const { return m_bAwaitReply; }
  int WatchdogTicks() const { return m_nWatchdogTicks; }
  // The text of the last command the session posted itself.
  const std::string& LastCommand() const { return m_strLastCommand; }
  // The device path of the port that answered the last successful scan.
  const std::string& ConnectedPort() const { return m_strConnectedPort; }
  // The name the operator knows that port by ("COM3"; the path itself for a
  // port given as a path).
  const std::string& ConnectedPortName() const { return m_strConnectedPortName; }
  // Bytes received since the last record end or probe answer.
  const std::string& PendingReply() const { return m_assembler.Pending(); }

  // Restricts the scan to one device (a path, or a COM name).
  void SetPortOverride(std::string port) { m_strPortOverride = std::move(port); }

  // The link: scan for the meter (from Idle), or close the line.
  void Scan();
  void Disconnect();

  // Reading. Each one leaves whatever ran before, empties a partly received
  // reply and posts its command.
  void StartRealTime();
  void ReadHistory();
  void ReadListing(Listing listing);
  void Reset();  // back to the factory settings
  // A settings dialog is about to talk to the meter.
  void BeginSetting();
  // Ends real-time reading (and its poll and watchdog); other activities go
  // on until their answer ends them.
  void StopReading();

  // Posts `text` to be written; when it is written during
  // real-time or history reading, the reply watchdog is armed.
  void PostCommand(const std::string& text);
  // Writes `text` at once, unwatched (the set-clock dialog's way).
  void Send(const std::string& text);
  // Forgets a partly received reply.
  void DiscardPartialReply() { m_assembler.Clear(); }

  // What the line reports, handed over on the UI thread: the meter's bytes
  // (a range at a time), the line lost, the driver's error (also reachable
  // for tests and benchmarks that feed bytes without a line).
  void Receive(std::string_view bytes);
  void LineLost();
  void LineFailed(const std::string& text);

 private:

  // Moves to the state the table gives for `event`, with what leaving and
  // entering states means for the poll and the watchdog. False when the
  // event has no place in the current state.
  bool Apply(SessionEvent event);
  void PostSelf(std::function<void()> fn);
  void WriteCommand(const std::string& text);
  void ArmWatchdog(int periodMs);
  void DisarmWatchdog();
  void WatchdogTick();
  void PollTick();
  void OnRecord(std::string record);
  void ScanFinished(const ports::PortCandidate& port);

  IRuntime& m_runtime;
  ISerialPort& m_channel;
  const meter::Model& m_model;
  const SessionTimings m_timings;
  MeterListener m_listener;
  ReplyAssembler m_assembler;
  LineOwner m_lineOwner;  // what the port and the scan report to: this session
  PortScan m_scan;

  SessionState m_state = SessionState::Idle;
  bool m_bAwaitReply = false;
  int m_nWatchdogTicks = 0;
  int m_nWatchdogPeriodMs = 0;
  std::string m_strLastCommand;
  std::string m_strConnectedPort;
  std::string m_strConnectedPortName;
  std::string m_strPortOverride;

  // What the session posts does nothing once the session is gone.
  LifeGuard m_life;
};
