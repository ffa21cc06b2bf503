// The simulated meter really does each thing the soak and the shortened tests
// rely on.
#include <gtest/gtest.h>

#include <string>

#include "sim/SimulatedMeter.h"

namespace {

struct Seen {
  bool nul = false;
  bool probeInsideRecord = false;
  bool recordWithoutEnd = false;
  bool burst = false;
  bool silentThenAnswering = false;
};

Seen Observe(int polls) {
  meter::Scenario scenario;
  scenario.hostile = true;
  meter::SimulatedMeter meter(scenario, 2024);
  Seen seen;
  bool silent = false;
  for (int i = 0; i < polls; ++i) {
    const auto parts = meter.Answer("D");
    if (parts.empty()) {
      silent = true;
      continue;
    }
    if (silent) seen.silentThenAnswering = true;
    silent = false;
    for (const auto& part : parts) {
      const std::string& b = part.bytes;
      seen.nul = seen.nul || b.find('\0') != std::string::npos;
      const auto probe = b.find('?');
      seen.probeInsideRecord = seen.probeInsideRecord || (probe != std::string::npos && probe + 1 < b.size());
      seen.recordWithoutEnd = seen.recordWithoutEnd || b.back() != '$';
      seen.burst = seen.burst || b.size() >= 64 * 1024;
    }
  }
  return seen;
}

}  // namespace

TEST(HostileMeter, SendsNulsBrokenRecordsBurstsAndFallsSilentForAWhile) {
  const Seen seen = Observe(400);
  EXPECT_TRUE(seen.nul);
  EXPECT_TRUE(seen.probeInsideRecord);
  EXPECT_TRUE(seen.recordWithoutEnd);
  EXPECT_TRUE(seen.burst);
  EXPECT_TRUE(seen.silentThenAnswering);
}

TEST(HostileMeter, AnOrdinaryMeterDoesNoneOfIt) {
  meter::SimulatedMeter meter(meter::Scenario{}, 2024);
  for (int i = 0; i < 400; ++i) {
    const auto parts = meter.Answer("D");
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].bytes.find_first_of(std::string("?\0", 2)), std::string::npos);
    EXPECT_EQ(parts[0].bytes.back(), '$');
  }
}

TEST(SimulatedMeterPace, TenTimesThePaceMakesEveryHistoryPauseATenth) {
  for (const int pace : {1, 10}) {
    meter::Scenario scenario;
    scenario.historyCount = 3;
    scenario.historyDelayMs = 960;
    scenario.pace = pace;
    meter::SimulatedMeter meter(scenario, 2024);
    const auto parts = meter.Answer("H");
    ASSERT_EQ(parts.size(), 4u);  // three records and the end
    for (const auto& part : parts) EXPECT_EQ(part.delay.count(), 960 / pace) << pace;
  }
}
