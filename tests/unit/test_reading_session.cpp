// The reading session's states: where each event leads, and what the poll and
// the watchdog do on the way.
#include <gtest/gtest.h>

#include <optional>

#include "device/ReadingSession.h"

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

}  // namespace
