// The reading session's states: where each event leads, and what the poll and
// the watchdog do on the way.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/ReadingSession.h"
#include "device/SystemPorts.h"
#include "device/meters/km360r/Km360r.h"

namespace {

using S = SessionState;
using E = SessionEvent;

TEST(ReadingSession, TransitionsFollowTheActivities) {
  struct Row {
    S from;
    E event;
    std::optional<S> to;
  };
  const Row rows[] = {
      // Finding the meter.
      {S::Idle, E::Scan, S::Scanning},
      {S::Scanning, E::ScanSucceeded, S::Connected},
      {S::Scanning, E::ScanFailed, S::Idle},
      {S::Scanning, E::ProbeAnswered, S::Scanning},
      {S::Scanning, E::LineLost, S::Scanning},  // the scan moves on by itself
      {S::Scanning, E::StartRealTime, std::nullopt},
      {S::Idle, E::ProbeAnswered, S::Connected},
      {S::Idle, E::StartHistory, std::nullopt},
      // Activities replace one another while connected.
      {S::Connected, E::StartRealTime, S::RealTime},
      {S::RealTime, E::StartHistory, S::History},
      {S::RealTime, E::StartListing, S::Listing},
      {S::Listing, E::StartSetting, S::Setting},
      {S::Setting, E::StartRealTime, S::RealTime},
      {S::RealTime, E::Stop, S::Connected},
      {S::Listing, E::Stop, S::Listing},  // only real-time reading is stopped
      // History ends only by its end marker or a lost meter.
      {S::History, E::Stop, S::History},
      {S::History, E::StartRealTime, std::nullopt},
      {S::History, E::HistoryEnded, S::Connected},
      {S::RealTime, E::HistoryEnded, S::RealTime},
      // Losing the meter.
      {S::RealTime, E::WatchdogExpired, S::Idle},
      {S::History, E::WatchdogExpired, S::Idle},
      {S::History, E::LineLost, S::Connected},  // the frame disconnects next
      {S::Setting, E::LineLost, S::Connected},
      {S::Connected, E::Disconnect, S::Idle},
      {S::Idle, E::Disconnect, S::Idle},
      {S::Idle, E::Stop, S::Idle},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(NextState(r.from, r.event), r.to)
        << static_cast<int>(r.from) << " on " << static_cast<int>(r.event);
  }
}

// A runtime that keeps what it is asked for: the period of each timer started,
// and posted work until Run.
class RecordingRuntime : public IRuntime {
 public:
  void StartTimer(int id, int periodMs, std::function<void()>) override { periods[id] = periodMs; }
  void KillTimer(int id) override { periods.erase(id); }
  void Post(std::function<void()> fn) override { posted.push_back(std::move(fn)); }
  void Run() {
    while (!posted.empty()) {
      auto fn = std::move(posted.front());
      posted.pop_front();
      fn();
    }
  }
  std::map<int, int> periods;
  std::deque<std::function<void()>> posted;
};

TEST(ReadingSession, PollAndWatchdogsRunWithTheTimingsTheOwnerGives) {
  struct Case {
    std::optional<SessionTimings> given;
    int poll, realTimeWatchdog, historyWatchdog;
  };
  // Without timings the meter's own: a poll a second, one second for a
  // reading's answer, ten for the next history record.
  for (const Case& c : {Case{std::nullopt, 1000, 1000, 10000},
                        Case{SessionTimings{100, 150, 1200}, 100, 150, 1200}}) {
    RecordingRuntime runtime;
    const std::unique_ptr<ISerialPort> port = NewSerialPort();  // never opened
    const MeterListener events = [](const meter::SessionReport&) {};
    auto session = c.given ? std::make_unique<ReadingSession>(runtime, *port, SystemPortList(),
                                                              meters::km360r::Model(), events, *c.given)
                           : std::make_unique<ReadingSession>(runtime, *port, SystemPortList(),
                                                              meters::km360r::Model(), events);
    session->Receive("?");  // a meter on the line
    session->StartRealTime();
    runtime.Run();
    EXPECT_EQ(runtime.periods[TIMER_POLL], c.poll);
    EXPECT_EQ(runtime.periods[TIMER_REPLY_WATCHDOG], c.realTimeWatchdog);
    session->ReadHistory();
    runtime.Run();
    EXPECT_EQ(runtime.periods[TIMER_REPLY_WATCHDOG], c.historyWatchdog);
  }
}

// A second meter is a second model: the session frames, asks and reads by the
// model it is handed, with nothing of its own to change.
TEST(ReadingSession, TheModelItIsHandedFramesAsksAndReadsTheMeter) {
  meter::Model other = meters::km360r::Model();
  other.commands.realTime = "READ\r";
  other.framing = {'!', '#'};
  other.markers.success = "OK";
  RecordingRuntime runtime;
  const std::unique_ptr<ISerialPort> port = NewSerialPort();  // never opened
  std::vector<std::string> heard;
  ReadingSession session(runtime, *port, SystemPortList(), other, [&](const meter::SessionReport& report) {
    if (const auto* arrived = std::get_if<meter::Arrived>(&report)) {
      const bool taken = arrived->record.SettingAnswer() == meter::Answer::Taken;
      heard.push_back(arrived->record.Text() + (taken ? " taken" : ""));
    }
    if (const auto* completed = std::get_if<meter::Completed>(&report)) {
      heard.emplace_back(completed->what == meter::Done::Success ? "success" : "other");
    }
  });
  session.Receive("?!");
  EXPECT_TRUE(session.Connected());
  session.StartRealTime();
  EXPECT_EQ(session.LastCommand(), "READ\r");
  session.Receive("$SET OK#");
  EXPECT_EQ(heard, (std::vector<std::string>{"$SET OK# taken", "success"}));
}

}  // namespace
