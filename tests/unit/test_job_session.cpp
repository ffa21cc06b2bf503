// The job panel's logic without a window: what a capture takes from the live
// readings, the stability of the last N, the next point after a capture, the
// trend's scale and the point list's rows.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "jobs/Capture.h"
#include "jobs/JobSession.h"
#include "jobs/ReadoutJudge.h"
#include "jobs/SqliteStore.h"
#include "TempFolder.h"

namespace {

using jobs::LiveReading;
using jobs::Verdict;

// The readings as they arrive, stamped by the wall clock a second apart.
jobs::LiveReadings Live(const std::vector<LiveReading>& readings) {
  jobs::LiveReadings live;
  for (LiveReading r : readings) {
    r.arrivedMs = 1'800'000'000'000 + static_cast<std::int64_t>(r.seconds * 1000);
    live.Add(r);
  }
  return live;
}

TEST(JobSession, ACaptureTakesTheLastNReadingsAtOneWavelength) {
  struct Case {
    const char* what;
    std::vector<LiveReading> readings;
    int samples;
    std::optional<int> wavelength;  // nullopt: nothing to capture yet
    std::vector<double> taken;
  };
  const Case cases[] = {
      {"none yet", {}, 3, std::nullopt, {}},
      {"fewer than N", {{0, 1490, -20}, {1, 1490, -21}}, 3, std::nullopt, {}},
      {"exactly N", {{0, 1490, -20}, {1, 1490, -21}, {2, 1490, -19.5}}, 3, 1490, {-20, -21, -19.5}},
      {"the last N of more", {{0, 1310, -9}, {1, 1310, -10}, {2, 1310, -11}, {3, 1310, -12}}, 2, 1310, {-11, -12}},
      {"a new wavelength starts over", {{0, 1310, -9}, {1, 1310, -10}, {2, 1490, -20}, {3, 1490, -21}}, 3,
       std::nullopt, {}},
      {"the new wavelength only", {{0, 1310, -9}, {1, 1490, -20}, {2, 1490, -21}}, 2, 1490, {-20, -21}},
      {"one reading a capture", {{0, 1550, 1.5}}, 1, 1550, {1.5}},
  };
  for (const Case& c : cases) {
    const std::optional<jobs::CaptureInput> input = jobs::CaptureInputOf(Live(c.readings), c.samples);
    ASSERT_EQ(input.has_value(), c.wavelength.has_value()) << c.what;
    if (!input) continue;
    EXPECT_EQ(input->wavelengthNm, *c.wavelength) << c.what;
    EXPECT_EQ(input->readingsDbm, c.taken) << c.what;
    // The readings are the last ones, a second apart: the span ends at the latest.
    const std::int64_t last = 1'800'000'000'000 + static_cast<std::int64_t>(c.readings.back().seconds * 1000);
    EXPECT_EQ(input->lastArrivedMs, last) << c.what;
    EXPECT_EQ(input->firstArrivedMs, last - 1000 * static_cast<std::int64_t>(c.taken.size() - 1)) << c.what;
  }
}

TEST(JobSession, AClockSetBackDatesNoReadingBeforeTheOneBeforeIt) {
  jobs::LiveReadings live;
  live.Add({0, 1310, -20, 5000});
  live.Clear();  // a new run
  live.Add({1, 1310, -20, 4000});
  live.Add({2, 1310, -20, 4500});
  live.Add({3, 1310, -20, 6000});
  const std::optional<jobs::CaptureInput> input = jobs::CaptureInputOf(live, 3);
  ASSERT_TRUE(input.has_value());
  EXPECT_EQ(input->firstArrivedMs, 5000);
  EXPECT_EQ(input->readings[1].arrivedMs, 5000);
  EXPECT_EQ(input->lastArrivedMs, 6000);
}

TEST(JobSession, NoReadingFeedsTwoCaptures) {
  // A script of the live run: 'r' a reading (wavelength, dBm), 'x' a stop and
  // a new start, 'c' a capture of two readings.
  struct Step {
    char what;
    int nm;
    double dbm;
  };
  const auto r = [](int nm, double dbm) { return Step{'r', nm, dbm}; };
  const Step c{'c', 0, 0};
  const Step x{'x', 0, 0};
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::vector<double>> captured;  // per capture; empty: it took nothing
  };
  const Case cases[] = {
      {"a second press at once takes nothing", {r(1310, -1), r(1310, -2), c, c}, {{-1, -2}, {}}},
      {"one new reading is not enough", {r(1310, -1), r(1310, -2), c, r(1310, -3), c}, {{-1, -2}, {}}},
      {"two new readings are", {r(1310, -1), r(1310, -2), c, r(1310, -3), r(1310, -4), c}, {{-1, -2}, {-3, -4}}},
      {"readings before the previous capture's stay unused",
       {r(1310, -1), r(1310, -2), r(1310, -3), c, r(1310, -4), c}, {{-2, -3}, {}}},
      {"a stop and a restart do not bring them back", {r(1310, -1), r(1310, -2), c, x, r(1310, -5), c},
       {{-1, -2}, {}}},
      {"a change of wavelength starts over", {r(1310, -1), r(1310, -2), c, r(1310, -3), r(1490, -4), c},
       {{-1, -2}, {}}},
      {"at the new wavelength", {r(1310, -1), r(1310, -2), c, r(1490, -4), r(1490, -5), c},
       {{-1, -2}, {-4, -5}}},
  };
  for (const Case& cs : cases) {
    jobs::LiveReadings live;
    std::vector<std::vector<double>> captured;
    double second = 0;
    for (const Step& step : cs.steps) {
      if (step.what == 'r') live.Add({second++, step.nm, step.dbm});
      if (step.what == 'x') live.Clear();
      if (step.what == 'c') {
        const std::optional<jobs::CaptureInput> input = jobs::TakeCaptureInput(live, 2);
        captured.push_back(input ? input->readingsDbm : std::vector<double>{});
        if (input) EXPECT_EQ(jobs::ReadingsAwaited(live, 2), 2) << cs.what;  // the next waits for two new ones
      }
    }
    EXPECT_EQ(captured, cs.captured) << cs.what;
  }
}

TEST(JobSession, TheReadoutJudgesAReadingAsTheJobJudgesItsResult) {
  jobs::Job job;
  job.profile = jobs::FindProfile("gpon-b+", {}).value();  // 1310: -28 ... -8 dBm, loss 13 ... 28 dB, margin 2
  job.referencesDbm[1490] = -5.0;
  struct Case {
    int nm;
    double dbm;
    field::Verdict verdict;
    std::optional<double> reference;
  };
  const Case cases[] = {
      {1310, -20.0, field::Verdict::Pass, std::nullopt},
      {1310, -9.0, field::Verdict::Marginal, std::nullopt},  // the readout's own limits pass it
      {1310, -7.5, field::Verdict::Fail, std::nullopt},
      {1490, -21.0, field::Verdict::Pass, -5.0},       // a loss of 16 dB
      {1490, -9.0, field::Verdict::Fail, -5.0},        // a loss of 4 dB, under the budget
      {1550, -20.0, field::Verdict::NoLimit, std::nullopt},
  };
  const field::ReadingJudge judge = jobs::ReadoutJudgeOf(job);
  EXPECT_EQ(judge.name, "GPON B+");
  for (const Case& c : cases) {
    const field::Judged j = judge.judge(c.dbm, c.nm);
    EXPECT_EQ(j.verdict, c.verdict) << c.nm << " " << c.dbm;
    EXPECT_EQ(j.reference, c.reference) << c.nm << " " << c.dbm;
    const jobs::Result result = jobs::ResultOf(job, "P01", c.nm, {c.dbm}, 0);
    EXPECT_EQ(jobs::ReadoutVerdict(result.verdict), j.verdict) << c.nm << " " << c.dbm;
  }
}

TEST(JobSession, TheTrendKeepsTheLastMinute) {
  const jobs::LiveReadings live = Live({{0, 1490, -20}, {30, 1490, -21}, {61, 1490, -22}, {90, 1490, -23}});
  std::vector<double> kept;
  for (const LiveReading& r : live.Trend()) kept.push_back(r.dbm);
  EXPECT_EQ(kept, (std::vector<double>{-21, -22, -23}));
}

TEST(JobSession, SpansOver0Point5DbAreUnstable) {
  struct Case {
    std::vector<double> dbm;
    int samples;
    int count;
    bool unstable;
  };
  const Case cases[] = {
      {{-20.00, -20.50, -20.20}, 3, 3, false},         // 0.50 is still steady
      {{-20.00, -20.51, -20.20}, 3, 3, true},
      {{-25.00, -20.00, -20.10, -20.30}, 3, 3, false},  // the older dip is not among the last N
      {{-20.00, -21.00}, 3, 2, true},
  };
  for (const Case& c : cases) {
    jobs::LiveReadings live;
    for (size_t i = 0; i < c.dbm.size(); ++i) live.Add({double(i), 1490, c.dbm[i]});
    const jobs::Stability s = jobs::StabilityOf(live, c.samples);
    EXPECT_EQ(s.count, c.count) << c.dbm.front();
    EXPECT_EQ(s.unstable, c.unstable) << c.dbm.front();
  }
}

TEST(JobSession, AfterACaptureTheNextUntestedPointIsSelected) {
  const std::vector<std::string> points = {"P01", "P02", "P03", "P04"};
  const auto tested = [](std::vector<std::string> labels) {
    std::vector<jobs::Result> results;
    for (std::string& l : labels) results.push_back(jobs::Result{.point = l, .wavelengthNm = 1490});
    return results;
  };
  struct Case {
    std::vector<std::string> tested;
    std::string captured;
    std::optional<std::string> next;
  };
  const Case cases[] = {
      {{"P01"}, "P01", "P02"},
      {{"P01", "P02"}, "P01", "P03"},        // a tested point is skipped
      {{"P03", "P04"}, "P04", "P01"},        // after the last, from the top
      {{"P02", "P03"}, "P03", "P04"},
      {{"P01", "P02", "P03", "P04"}, "P02", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(jobs::NextUntested(points, tested(c.tested), c.captured), c.next) << c.captured;
  }
}

TEST(JobSession, TheTrendScaleHoldsReadingsAndLines) {
  struct Case {
    std::vector<double> dbm;
    std::vector<double> lines;
  };
  const Case cases[] = {
      {{-20.00, -20.02}, {}},             // a steady signal still gets 1 dB
      {{-20.0, -21.5}, {-27, -8}},        // the limits far off are drawn too
      {{-12.34}, {-20.0}},                // the reference
  };
  for (const Case& c : cases) {
    std::deque<LiveReading> trend;
    for (double d : c.dbm) trend.push_back({0, 1490, d});
    const jobs::TrendScale s = jobs::ScaleOf(trend, c.lines);
    std::vector<double> all = c.dbm;
    all.insert(all.end(), c.lines.begin(), c.lines.end());
    for (double v : all) {
      EXPECT_LT(s.low, v);
      EXPECT_GT(s.high, v);
    }
    EXPECT_GE(s.high - s.low, 1.0 - 1e-9);
    EXPECT_LT(s.high - s.low, (*std::max_element(all.begin(), all.end()) -
                               *std::min_element(all.begin(), all.end())) * 1.3 + 1.01);
  }
}

TEST(JobSession, ThePointListHasAColumnPairPerWavelengthAndTheWorstVerdict) {
  jobs::Job job;
  job.profile = jobs::FindProfile("gpon-b+", {}).value();
  job.referencesDbm[1310] = -5.0;
  const auto result = [](std::string point, int nm, double dbm, std::optional<double> loss, Verdict v) {
    return jobs::Result{.point = point, .wavelengthNm = nm, .powerDbm = dbm, .lossDb = loss, .verdict = v};
  };
  const std::vector<jobs::Result> latest = {result("P01", 1490, -20.0, std::nullopt, Verdict::Pass),
                                            result("P01", 1310, -26.5, 21.5, Verdict::Marginal),
                                            result("P03", 1550, 1.25, std::nullopt, Verdict::NoLimit)};
  const jobs::PointTable t = jobs::PointTableOf(job, {"P01", "P02", "P03"}, latest);
  EXPECT_EQ(t.wavelengths, (std::vector<int>{1310, 1490, 1550}));
  ASSERT_EQ(t.rows.size(), 3u);
  EXPECT_EQ(t.rows[0].cells[0].value, "-26.50");
  EXPECT_EQ(t.rows[0].cells[0].loss, "21.50");
  EXPECT_EQ(t.rows[0].cells[1].value, "-20.00");
  EXPECT_EQ(t.rows[0].cells[1].loss, "");
  EXPECT_EQ(t.rows[0].verdict, Verdict::Marginal);
  EXPECT_EQ(t.rows[1].verdict, std::nullopt);  // untested
  EXPECT_EQ(t.rows[1].cells[1].value, "");
  EXPECT_EQ(t.rows[2].cells[2].value, "1.25");
  EXPECT_EQ(t.rows[2].verdict, Verdict::NoLimit);
}

TEST(JobSession, TheReadingsPerCaptureAreKeptWithTheJob) {
  const std::string folder = NewTempFolder("km360r-session");
  ASSERT_FALSE(folder.empty());
  {
    jobs::SqliteStore store(folder + "/results.sqlite");
    jobs::Job job;
    job.name = "Tower 3";
    job.profile = jobs::FindProfile("gpon-c+", {}).value();
    store.CreateJob(job, {"P01"});
    store.SetSamples("Tower 3", 5);
    EXPECT_THROW(store.SetSamples("Tower 3", 0), jobs::StoreError);
  }
  EXPECT_EQ(jobs::SqliteStore(folder + "/results.sqlite").FindJob("Tower 3")->samples, 5);
  std::filesystem::remove_all(folder);
}

}  // namespace
