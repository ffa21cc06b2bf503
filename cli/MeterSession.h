#pragma once
// One run of km360r-cli: the same station (meter service, table page and
// graph page) as the windowed program, on an event loop, with message boxes on
// standard error.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "app/LoopHost.h"
#include "app/MeterService.h"
#include "app/Station.h"
#include "cli/Options.h"
#include "common/EventLoop.h"
#include "common/FrameTexts.h"
#include "common/Settings.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"

namespace cli {

// Once a listing has begun (the wavelength codes, the parameters, the
// calibration's rest after the current wavelength), how long the meter may go
// quiet before the listing counts as ended.
inline constexpr std::chrono::steady_clock::duration kListingStall = std::chrono::seconds(2);

class MeterSession {
 public:
  using Clock = std::chrono::steady_clock;

  explicit MeterSession(const Options& options);

  // Link: the port scan (or the --port device's probe). True when the meter
  // answered; otherwise the scan's box has been printed, and for a --port
  // device that could not be opened, why (naming the device).
  bool Connect();

  // Dispatches the loop until done() holds or the run is asked to stop (see
  // StopSignals.h). done() is checked after every dispatched item and every few
  // milliseconds.
  void RunUntil(const std::function<bool()>& done);
  // Runs what is queued now (and what that queues), so that every record
  // received so far has reached the table.
  void Drain();

  // Time since the last completed record (or since MarkCommandSent when none
  // came after it).
  Clock::duration SinceLastRecord() const { return Clock::now() - m_lastRecord; }
  int RecordsSinceCommand() const { return m_nRecords; }
  void MarkCommandSent();

  // Writes the table to `path` as the file type of the data the command
  // read. Returns an exit code: kExitOk, or kExitFile with a message printed.
  int SaveTable(const std::string& path, DataKind kind);

  EventLoop loop;
  LoopHost host;
  Station station;
  ISerialPort* const channel;
  const FrameTexts& texts;
  const std::string& language;  // the language value the station was built with
  TablePage& table;
  GraphPage& graph;
  MeterService& service;

  // Called with every completed record (after the session's own bookkeeping),
  // and with every exchange the meter completed.
  std::function<void(const meter::Record&)> onReply;
  std::function<void(meter::Done)> onDone;

 private:
  static void ReportRefusedPort(const std::string& port, int openError);

  std::optional<std::string> m_port;  // --port, as given
  Clock::time_point m_lastRecord = Clock::now();
  int m_nRecords = 0;
};

// The settings of this run: config.ini beside the executable, its language
// value replaced by --language N when given.
config::Settings SettingsFor(const Options& options);
// The language value of those settings.
std::string LanguageValue(const Options& options);

}  // namespace cli
