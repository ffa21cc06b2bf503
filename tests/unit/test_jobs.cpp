// Test jobs against a real SQLite store in a temporary folder: point patterns,
// verdicts under the built-in profiles, results and their supersession, the
// job list's counts, a store of the first schema migrated, files that are no
// store refused untouched, and the exports read back by Python.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "field/LiveLog.h"
#include "jobs/Capture.h"
#include "jobs/JobExport.h"
#include "jobs/JobTable.h"
#include "jobs/JobTextRules.h"
#include "jobs/PointPattern.h"
#include "jobs/Sqlite.h"
#include "jobs/SqliteStore.h"
#include "jobs/StoreFactory.h"
#include "jobs/StoreSchema.h"
#include "FileBytes.h"
#include "TempFolder.h"

namespace {

using jobs::Verdict;

class TempFolder {
 public:
  TempFolder() {
    m_path = NewTempFolder("km360r-jobs");
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Runs SQL on the file directly, as a user's sqlite3 would.
void RawSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

long long RawCount(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* s = nullptr;
  long long n = -1;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW) {
    n = sqlite3_column_int64(s, 0);
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return n;
}

std::string Joined(const std::vector<std::string>& labels) {
  std::string s;
  for (const auto& l : labels) s += (s.empty() ? "" : " ") + l;
  return s;
}

// ---- points ----------------------------------------------------------------------

TEST(JobPoints, PatternsExpandWithTheirPaddingAndPartsCombine) {
  const struct {
    const char* pattern;
    const char* labels;
  } cases[] = {
      {"P01-P04", "P01 P02 P03 P04"},
      {"SPL-A/1-3", "SPL-A/1 SPL-A/2 SPL-A/3"},
      {"P8-P11", "P8 P9 P10 P11"},
      {"P08-P11", "P08 P09 P10 P11"},
      {"P1-P2, ODF-7 ,SPL-B/09-10", "P1 P2 ODF-7 SPL-B/09 SPL-B/10"},
      {"ONT", "ONT"},
  };
  for (const auto& c : cases) {
    const jobs::Labels got = jobs::ExpandPattern(c.pattern);
    EXPECT_EQ(got.error, "") << c.pattern;
    EXPECT_EQ(Joined(got.labels), c.labels) << c.pattern;
  }
  const jobs::Labels many = jobs::ExpandPattern("P01-P32");
  ASSERT_EQ(many.labels.size(), 32u);
  EXPECT_EQ(many.labels.back(), "P32");
}

TEST(JobPoints, BadPatternsAreRefusedWithAReason) {
  for (const char* pattern : {"P3-P1", "P01-Q05", "", "P1,,P2", "P1-P3,P2", "P1-P999999"}) {
    const jobs::Labels got = jobs::ExpandPattern(pattern);
    EXPECT_NE(got.error, "") << pattern;
    EXPECT_TRUE(got.labels.empty()) << pattern;
  }
  EXPECT_NE(jobs::ExpandPattern("P1,P1").error.find("P1"), std::string::npos);
}

// Values are written as printf writes them ("%.2f" of the value rounded to
// hundredths, milliwatts to four significant digits), across the whole range.
TEST(JobPoints, NumbersAreWrittenAsPrintfWritesThem) {
  char expected[400];
  std::uint64_t seed = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {
    seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
    const double v = std::ldexp(static_cast<double>(seed >> 11), -53 + static_cast<int>(seed % 80) - 40) *
                     (seed & 1 ? -1 : 1);
    std::snprintf(expected, sizeof expected, "%.2f", std::round(v * 100.0) / 100.0 + 0.0);
    ASSERT_EQ(jobs::FormatDb(v), expected) << v;
    if (v > 0) {
      std::snprintf(expected, sizeof expected, "%.*f", std::max(0, 3 - static_cast<int>(std::floor(std::log10(v)))), v);
      ASSERT_EQ(jobs::FormatMilliwatts(v), expected) << v;
    }
  }
  EXPECT_EQ(jobs::FormatDb(1e300).size(), 304u);
}

// Rows in the points' order, each point's results in the order given, an
// untested point as one empty row, results of no listed point left out:
// whether the results come in the points' order or not.
TEST(JobPoints, RowsFollowThePointsWhateverTheResultsOrder) {
  const auto result = [](const std::string& point, int nm) {
    jobs::Result r;
    r.point = point;
    r.wavelengthNm = nm;
    return r;
  };
  const std::vector<std::string> points = {"B", "A", "C"};
  const std::vector<std::string> expected = {"B 1310", "B 1490", "A 1310", "C -"};
  for (const std::vector<jobs::Result>& latest :
       {std::vector<jobs::Result>{result("B", 1310), result("B", 1490), result("A", 1310)},
        std::vector<jobs::Result>{result("A", 1310), result("B", 1310), result("Z", 1550), result("B", 1490)}}) {
    std::vector<std::string> rows;
    for (const jobs::JobRow& row : jobs::JobRows(points, latest)) {
      rows.push_back(row.point + " " + (row.result ? std::to_string(row.result->wavelengthNm) : "-"));
    }
    EXPECT_EQ(rows, expected);
  }
}

// What opening a store checks it holds, read off the migrations' texts, is
// what running them makes, at every version.
TEST(JobStoreSchema, TheStoresTablesAreThoseItsMigrationsMake) {
  jobs::sql::Connection db(":memory:", jobs::sql::Connection::Mode::Create);
  const std::vector<std::string> steps = jobs::schema::Migrations(jobs::schema::Dialect::Sqlite);
  for (int version = 0; version <= jobs::schema::CurrentVersion(); ++version) {
    if (version > 0) db.Execute(steps[static_cast<size_t>(version - 1)]);
    std::set<std::string> made;
    jobs::sql::Statement s(db, "SELECT type || ' ' || name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'");
    while (s.Step()) made.insert(s.Text(0));
    EXPECT_EQ(jobs::schema::Objects(version), made) << version;
  }
}

TEST(JobTexts, OnlyUtf8WithinTheLengthOfItsKindIsTaken) {
  using jobs::TextKind;
  std::string chinese64;
  for (int i = 0; i < 64; ++i) chinese64 += "\xE5\x85\x89";  // 64 characters, 192 bytes
  const struct {
    TextKind kind;
    std::string text;
    const char* problem;  // nullptr: taken
  } cases[] = {
      {TextKind::Label, chinese64, nullptr},
      {TextKind::Label, chinese64 + "x", "at most 64 characters (65 given)"},
      {TextKind::Name, std::string(200, 'n'), nullptr},
      {TextKind::Operator, std::string(201, 'o'), "at most 200 characters"},
      {TextKind::Notes, "line 1\nline 2\tend", nullptr},
      {TextKind::Site, "a\tb", "control character"},
      {TextKind::Name, "Cab\xB9\xE2", "must be UTF-8 text"},
      {TextKind::Label, "\xC0\xAF", "must be UTF-8 text"},      // an overlong "/"
      {TextKind::Label, "\xED\xA0\x80", "must be UTF-8 text"},  // a surrogate
      {TextKind::Label, "\xF0\x9F\x98", "must be UTF-8 text"},  // cut short
      {TextKind::Label, "", "cannot be empty"},
      {TextKind::Site, "", nullptr},
  };
  for (const auto& c : cases) {
    const std::string problem = jobs::TextProblem(c.kind, c.text);
    if (!c.problem) {
      EXPECT_EQ(problem, "") << c.text;
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
    }
  }
  // A points file holding such a label is refused whole.
  EXPECT_NE(jobs::LabelsFromFile("P1\nCab\xB9\xE2\n", false).error, "");
}

TEST(JobPoints, FilesGiveOneLabelALineOrTheFirstCsvColumn) {
  EXPECT_EQ(Joined(jobs::LabelsFromFile("\xEF\xBB\xBFP1\r\n\r\n ODF 2 \nP3", false).labels), "P1 ODF 2 P3");
  EXPECT_EQ(Joined(jobs::LabelsFromFile("P1,-20\r\n\"A,1\",x\n\"say \"\"B\"\"\",y\n", true).labels),
            "P1 A,1 say \"B\"");
  EXPECT_NE(jobs::LabelsFromFile("P1\nP1\n", false).error, "");
  EXPECT_NE(jobs::LabelsFromFile("\n\n", false).error, "");
}

// ---- store -----------------------------------------------------------------------

class JobStore : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string path = folder.File("store/results.sqlite");  // the folder is made by the store

  jobs::Job MakeJob(jobs::SqliteStore& store, const std::string& name, const std::string& profile,
                    const std::vector<std::string>& points) {
    jobs::Job job;
    job.name = name;
    job.operatorName = "Ann";
    job.profile = jobs::FindProfile(profile, store.UserProfiles()).value();
    store.CreateJob(job, points);
    return *store.FindJob(name);
  }
  jobs::Result Capture(jobs::SqliteStore& store, const jobs::Job& job, const std::string& point, int nm,
                       std::vector<double> readings) {
    // The readings arrived a quarter of a second apart, the last a second before the result.
    const std::int64_t last = 1'799'999'999'000;
    const jobs::CaptureInput input{nm, readings, {}, last - 250 * static_cast<std::int64_t>(readings.size() - 1), last};
    jobs::Result r = jobs::ResultOf(*store.FindJob(job.name), point, input, 1'800'000'000);
    store.AddResult(job.name, r);
    return r;
  }
};

TEST_F(JobStore, VerdictsUnderTheProfilesAndReferences) {
  const struct {
    const char* profile;
    int nm;
    double reference;  // 0: none
    double dbm;
    Verdict verdict;
  } cases[] = {
      {"gpon-b+", 1490, 0, -20.00, Verdict::Pass},       // inside
      {"gpon-b+", 1490, 0, -8.00, Verdict::Marginal},    // on the high limit
      {"gpon-b+", 1490, 0, -10.00, Verdict::Marginal},   // exactly the margin below the high limit
      {"gpon-b+", 1490, 0, -10.01, Verdict::Pass},       // just beyond it
      {"gpon-b+", 1490, 0, -27.00, Verdict::Marginal},   // on the low limit
      {"gpon-b+", 1490, 0, -26.00, Verdict::Marginal},   // within 2 dB of the low limit
      {"gpon-b+", 1490, 0, -25.00, Verdict::Marginal},   // exactly the margin away
      {"gpon-b+", 1490, 0, -24.99, Verdict::Pass},       // just beyond the margin
      {"gpon-b+", 1490, 0, -27.01, Verdict::Fail},       // below
      {"gpon-b+", 1490, 0, -7.99, Verdict::Fail},        // above
      {"gpon-b+", 1310, 0, -28.00, Verdict::Marginal},   // OLT receive reaches lower
      {"gpon-c+", 1310, 0, -11.00, Verdict::Fail},       // C+ upstream tops out at -12
      {"epon-px20", 1490, 0, -3.00, Verdict::Marginal},
      {"rf-video", 1550, 0, 1.00, Verdict::Marginal},
      {"rf-video", 1550, 0, -3.00, Verdict::Pass},
      {"gpon-b+", 1550, 0, -20.00, Verdict::NoLimit},    // a wavelength the profile lacks
      {"gpon-b+", 1310, -3, -23.00, Verdict::Pass},      // loss 20 dB of 13..28
      {"gpon-b+", 1310, -3, -30.00, Verdict::Marginal},  // loss 27 dB
      {"gpon-b+", 1310, -3, -32.00, Verdict::Fail},      // loss 29 dB
      {"gpon-b+", 1310, -3, -15.50, Verdict::Fail},      // loss 12.5 dB, below the budget
      {"epon-px20", 1310, -3, -5.00, Verdict::Pass},     // loss 2 dB: the budget has no floor
      {"rf-video", 1550, -3, -5.00, Verdict::NoLimit},   // no loss budget
  };
  jobs::SqliteStore store(path);
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "J" + std::to_string(++n);
    const jobs::Job job = MakeJob(store, name, c.profile, {"P1"});
    if (c.reference != 0) store.SetReference(name, c.nm, c.reference);
    Capture(store, job, "P1", c.nm, {c.dbm});
    const std::vector<jobs::Result> kept = store.LatestResults(name);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(jobs::VerdictText(kept[0].verdict), std::string(jobs::VerdictText(c.verdict)))
        << c.profile << " " << c.nm << " nm " << c.dbm << " dBm";
    EXPECT_EQ(kept[0].lossDb.has_value(), c.reference != 0);
    if (kept[0].lossDb) {
      EXPECT_NEAR(*kept[0].lossDb, c.reference - c.dbm, 1e-9);
    }
  }
}

TEST_F(JobStore, AResultIsTheMeanOfLinearPowerWithItsSpan) {
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1", "P2", "P3"});
  const jobs::Result written = Capture(store, job, "P1", 1310, {-20.00, -21.00, -19.50});
  Capture(store, job, "P2", 1310, {-20.00, -20.50});
  Capture(store, job, "P3", 1310, {-20.00, -20.51});
  const std::vector<jobs::Result> r = store.LatestResults("J");
  ASSERT_EQ(r.size(), 3u);
  // (10.00 + 7.943 + 11.22) uW / 3 = 9.721 uW
  EXPECT_NEAR(r[0].powerMw, 0.009721, 0.0000005);
  EXPECT_NEAR(r[0].powerDbm, -20.123, 0.0005);
  EXPECT_NEAR(r[0].spanDb, 1.5, 1e-9);
  EXPECT_EQ(r[0].samples, 3);
  EXPECT_EQ(r[0].operatorName, "Ann");
  EXPECT_TRUE(r[0].unstable);
  EXPECT_FALSE(r[1].unstable);  // a span of 0.50 dB is still steady
  EXPECT_TRUE(r[2].unstable);
  EXPECT_EQ(r[0].uuid.size(), 36u);
  EXPECT_NE(r[0].uuid, r[1].uuid);
  // When its first and last reading arrived, half a second apart.
  EXPECT_EQ(r[0].firstReadingAt, field::IsoLocalTimeMs(1'799'999'998'500));
  EXPECT_EQ(r[0].lastReadingAt, written.lastReadingAt);
  EXPECT_EQ(r[0].lastReadingAt, field::IsoLocalTimeMs(1'799'999'999'000));
}

TEST_F(JobStore, CapturingAgainSupersedesAndKeepsTheEarlierResult) {
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1", "P2"});
  Capture(store, job, "P1", 1310, {-20});
  Capture(store, job, "P1", 1490, {-21});
  Capture(store, job, "P1", 1310, {-22});
  const std::vector<jobs::Result> r = store.LatestResults("J");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].wavelengthNm, 1310);
  EXPECT_NEAR(r[0].powerDbm, -22, 1e-9);
  EXPECT_EQ(r[1].wavelengthNm, 1490);
  EXPECT_EQ(RawCount(path, "SELECT count(*) FROM results"), 3);
  EXPECT_EQ(RawCount(path, "SELECT count(*) FROM results WHERE superseded = 1"), 1);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &s, nullptr);
  ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "wal");
  sqlite3_finalize(s);
  sqlite3_close(db);
}

TEST_F(JobStore, PointsAreEditedWithLabelsUniqueAndResultsKept) {
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1", "P2"});
  store.AddPoints("J", {"P3"});
  EXPECT_THROW(store.AddPoints("J", {"P2"}), jobs::StoreError);
  EXPECT_THROW(store.RenamePoint("J", "P1", "P3"), jobs::StoreError);
  Capture(store, job, "P2", 1310, {-20});
  store.RenamePoint("J", "P2", "ODF-2");
  EXPECT_EQ(store.LatestResults("J").at(0).point, "ODF-2");  // the results follow the point
  store.RemovePoint("J", "P1");
  EXPECT_THROW(store.RemovePoint("J", "P1"), jobs::StoreError);
  EXPECT_EQ(Joined(store.Points("J")), "ODF-2 P3");
  store.RemovePoint("J", "ODF-2");
  EXPECT_EQ(RawCount(path, "SELECT count(*) FROM results"), 1);
  store.AddPoints("J", {"P1"});  // a removed label can come back
  EXPECT_EQ(Joined(store.Points("J")), "P3 P1");
  EXPECT_THROW(MakeJob(store, "J", "gpon-b+", {}), jobs::StoreError);
}

TEST_F(JobStore, TheJobListCountsPointsByTheirWorstLatestVerdict) {
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1", "P2", "P3", "P4", "P5"});
  MakeJob(store, "Empty", "rf-video", {});
  Capture(store, job, "P1", 1310, {-20});
  Capture(store, job, "P2", 1310, {-20});
  Capture(store, job, "P2", 1490, {-26});  // marginal at 1490 makes P2 marginal
  Capture(store, job, "P3", 1310, {-40});
  Capture(store, job, "P3", 1310, {-20});  // superseded FAIL no longer counts
  Capture(store, job, "P4", 1310, {-35});
  const std::vector<jobs::JobSummary> list = store.ListJobs();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "J");
  EXPECT_EQ((std::vector<int>{list[0].points, list[0].pass, list[0].marginal, list[0].fail, list[0].untested}),
            (std::vector<int>{5, 2, 1, 1, 1}));
  EXPECT_EQ((std::vector<int>{list[1].points, list[1].untested}), (std::vector<int>{0, 0}));
  // A removed point leaves the counts at once.
  store.RemovePoint("J", "P4");
  const jobs::JobSummary after = store.ListJobs().at(0);
  EXPECT_EQ((std::vector<int>{after.points, after.pass, after.marginal, after.fail, after.untested}),
            (std::vector<int>{4, 2, 1, 0, 1}));
}

TEST_F(JobStore, AQuotedSqlLabelIsJustALabel) {
  const std::string hostile = "'; DROP TABLE results; --";
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, hostile, "gpon-b+", {hostile, "P2"});
  Capture(store, job, hostile, 1310, {-20});
  EXPECT_EQ(store.LatestResults(hostile).at(0).point, hostile);
  EXPECT_EQ(store.ListJobs().at(0).name, hostile);
  EXPECT_EQ(RawCount(path, "SELECT count(*) FROM results"), 1);
}

TEST_F(JobStore, UserProfilesAreFoundAfterTheBuiltInOnes) {
  jobs::SqliteStore store(path);
  jobs::Profile mine{"lab", "Lab bench", {{1310, {-15.0, -5.0}}}, {std::nullopt, 10.0}, 1.0};
  store.SaveUserProfile(mine);
  EXPECT_THROW(store.SaveUserProfile(jobs::Profile{"gpon-b+", "mine"}), jobs::StoreError);
  const std::optional<jobs::Profile> found = jobs::FindProfile("lab", store.UserProfiles());
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, mine);
  // The job keeps its copy: a later edit of the profile leaves its verdicts.
  const jobs::Job job = MakeJob(store, "J", "lab", {"P1"});
  mine.limits[1310] = {-30.0, -25.0};
  store.SaveUserProfile(mine);
  Capture(store, job, "P1", 1310, {-10});
  EXPECT_EQ(store.LatestResults("J").at(0).verdict, Verdict::Pass);
}

// The tables of the first store version, as they were written.
const char* const kFirstSchema = R"sql(
CREATE TABLE jobs (id INTEGER PRIMARY KEY, uuid TEXT NOT NULL UNIQUE, name TEXT NOT NULL UNIQUE,
  site TEXT NOT NULL DEFAULT '', operator TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '',
  profile_id TEXT NOT NULL, profile_name TEXT NOT NULL, margin_db REAL NOT NULL, loss_min_db REAL,
  loss_max_db REAL, created_at TEXT NOT NULL);
CREATE TABLE job_limits (job_id INTEGER NOT NULL REFERENCES jobs(id), wavelength_nm INTEGER NOT NULL,
  low_dbm REAL, high_dbm REAL, PRIMARY KEY (job_id, wavelength_nm));
CREATE TABLE job_references (job_id INTEGER NOT NULL REFERENCES jobs(id), wavelength_nm INTEGER NOT NULL,
  reference_dbm REAL NOT NULL, PRIMARY KEY (job_id, wavelength_nm));
CREATE TABLE points (id INTEGER PRIMARY KEY, job_id INTEGER NOT NULL REFERENCES jobs(id),
  position INTEGER NOT NULL, label TEXT NOT NULL, removed_at TEXT);
CREATE UNIQUE INDEX points_label ON points (job_id, label) WHERE removed_at IS NULL;
CREATE TABLE results (id INTEGER PRIMARY KEY, uuid TEXT NOT NULL UNIQUE, point_id INTEGER NOT NULL
  REFERENCES points(id), wavelength_nm INTEGER NOT NULL, power_dbm REAL NOT NULL, power_mw REAL NOT NULL,
  loss_db REAL, verdict TEXT NOT NULL, samples INTEGER NOT NULL, span_db REAL NOT NULL,
  unstable INTEGER NOT NULL, operator TEXT NOT NULL, measured_at TEXT NOT NULL,
  superseded INTEGER NOT NULL DEFAULT 0);
CREATE INDEX results_latest ON results (point_id, wavelength_nm, superseded);
INSERT INTO jobs VALUES (1, '3f0c1a8e-0000-4000-8000-000000000001', 'Old', 'Depot', 'Bo', '', 'gpon-b+',
  'GPON B+', 2, 13, 28, '2026-01-05T10:00:00+08:00');
INSERT INTO job_limits VALUES (1, 1310, -28, -8), (1, 1490, -27, -8);
INSERT INTO points VALUES (1, 1, 1, 'P1', NULL), (2, 1, 2, 'P2', NULL);
INSERT INTO results VALUES (1, '3f0c1a8e-0000-4000-8000-000000000002', 1, 1310, -20, 0.01, NULL, 'PASS', 3,
  0.1, 0, 'Bo', '2026-01-05T10:01:00+08:00', 0);
PRAGMA application_id = 1261647408;
PRAGMA user_version = 1;
)sql";

// A store of the first version, and the same store brought to version 4 by
// the migrations up to it.
TEST_F(JobStore, StoresOfEarlierVersionsAreMigratedWithTheirResults) {
  const std::vector<std::string> steps = jobs::schema::Migrations(jobs::schema::Dialect::Sqlite);
  for (size_t version : {1u, 4u}) {
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string sql = kFirstSchema;
    for (size_t v = 1; v < version; ++v) sql += steps[v];
    RawSql(path, sql + "PRAGMA user_version = " + std::to_string(version) + ";");
    {
      jobs::SqliteStore store(path);
      const std::optional<jobs::Job> old = store.FindJob("Old");
      ASSERT_TRUE(old.has_value());
      EXPECT_EQ(old->samples, 3);  // the setting the first version did not have
      EXPECT_EQ(old->uuid, "3f0c1a8e-0000-4000-8000-000000000001");
      const std::vector<jobs::Result> before = store.LatestResults("Old");
      ASSERT_EQ(before.size(), 1u);
      // When its readings arrived was not kept: unknown.
      EXPECT_EQ(before[0].firstReadingAt + before[0].lastReadingAt, "") << version;
      // The job list's counts are made from the results the store already held.
      EXPECT_EQ(store.ListJobs().at(0).pass, 1);
      EXPECT_EQ(store.ListJobs().at(0).untested, 1);
      Capture(store, *old, "P2", 1490, {-30});
      EXPECT_EQ(store.ListJobs().at(0).fail, 1);
      EXPECT_EQ(store.ListJobs().at(0).untested, 0);
      EXPECT_NE(store.LatestResults("Old").at(1).lastReadingAt, "") << version;
    }
    EXPECT_EQ(RawCount(path, "PRAGMA user_version"), jobs::schema::CurrentVersion());
    EXPECT_EQ(RawCount(path, "SELECT count(*) FROM user_profiles"), 0);
    EXPECT_EQ(RawCount(path, "SELECT count(*) FROM results WHERE first_reading_at IS NULL"), 1);
  }
}

// Files that must be refused and left byte for byte as they were.
TEST_F(JobStore, NewerOtherAndDamagedFilesAreRefusedUntouched) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const std::string newer = folder.File("newer.sqlite");
  RawSql(newer, std::string(kFirstSchema) + "PRAGMA user_version = 999;");
  const std::string other = folder.File("other.sqlite");
  RawSql(other, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
  const std::string text = folder.File("notes.sqlite");
  std::ofstream(text) << "P1\nP2\n";
  const std::string negative = folder.File("negative.sqlite");
  RawSql(negative, std::string(kFirstSchema) + "PRAGMA user_version = -1;");
  const std::string partial = folder.File("partial.sqlite");
  RawSql(partial, std::string(kFirstSchema) + "DROP TABLE job_references;");
  // A real store with its pages overwritten past the header.
  const std::string damaged = folder.File("damaged.sqlite");
  {
    jobs::SqliteStore store(damaged);
    const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1"});
    store.AddPoints("J", jobs::ExpandPattern("Q1-Q300").labels);
  }
  {
    std::string bytes = ReadBytes(damaged);
    ASSERT_GT(bytes.size(), 4096u);
    for (size_t i = 100; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(0xA5);
    std::ofstream(damaged, std::ios::binary) << bytes;
  }
  // A file SQLite cannot open at all.
  EXPECT_THROW(jobs::sql::Connection(folder.File("no/such/folder.sqlite"), jobs::sql::Connection::Mode::Create),
               jobs::StoreError);
  for (const std::string& file : {newer, other, text, negative, partial, damaged, folder.File("")}) {
    const std::string before = ReadBytes(file);
    try {
      jobs::SqliteStore store(file);
      ADD_FAILURE() << file << " was opened";
    } catch (const jobs::StoreError& e) {
      EXPECT_EQ(e.GetKind(), jobs::StoreError::Kind::Unusable) << file;
      EXPECT_EQ(std::string(e.what()).rfind(file, 0), 0u) << e.what();
    }
    EXPECT_EQ(ReadBytes(file), before) << file;
    EXPECT_FALSE(std::filesystem::exists(file + "-wal")) << file;
  }
}

TEST_F(JobStore, AnEmptyFileIsANewStore) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream{path};  // left by a first writer killed before its first commit
  jobs::SqliteStore store(path);
  MakeJob(store, "J", "gpon-b+", {"P1"});
  EXPECT_EQ(store.ListJobs().size(), 1u);
}

// The factory opens the local file for every use, and refuses what a team
// server does not do (it is only read and synced into) before reaching for it.
TEST_F(JobStore, TheFactoryOpensEachBackendOnlyForWhatItDoes) {
  {
    const std::unique_ptr<jobs::IResultsStore> store = jobs::OpenStore({jobs::StoreKind::LocalFile, path});
    jobs::Job job;
    job.name = "J";
    job.profile = *jobs::FindProfile("gpon-b+", {});
    store->CreateJob(job, {"P1"});
  }
  EXPECT_EQ(jobs::OpenReader({jobs::StoreKind::LocalFile, path})->Points("J"), std::vector<std::string>{"P1"});
  EXPECT_EQ(jobs::OpenSyncSource({jobs::StoreKind::LocalFile, path})->JobsForSync().size(), 1u);
  EXPECT_THROW(jobs::OpenSyncTarget({jobs::StoreKind::LocalFile, path}), jobs::StoreError);
  const jobs::StoreAddress server{jobs::StoreKind::TeamServer, "host=/nonexistent dbname=none"};
  for (const auto& open : std::vector<std::function<void()>>{[&] { jobs::OpenStore(server); },
                                                             [&] { jobs::OpenSyncSource(server); }}) {
    try {
      open();
      ADD_FAILURE() << "a team server was opened for writing";
    } catch (const jobs::StoreError& e) {
      EXPECT_EQ(e.GetKind(), jobs::StoreError::Kind::Refused) << e.what();
    }
  }
}

// Values beyond what a job, a profile or a result may hold: refused when
// given, and refused with the field named when read back from a store that
// was edited by hand, never computed with.
TEST_F(JobStore, ValuesOutOfBoundsAreRefusedGivenAndReadBack) {
  {
    jobs::SqliteStore store(path);
    const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1"});
    Capture(store, job, "P1", 1310, {-20});
    EXPECT_THROW(store.SetReference("J", 1310, 1e300), jobs::StoreError);
    EXPECT_THROW(store.SetReference("J", 1234, -3), jobs::StoreError);
    EXPECT_THROW(store.SetSamples("J", 601), jobs::StoreError);
    EXPECT_THROW(store.SaveUserProfile(jobs::Profile{"lab", "Lab", {}, {}, 1e20}), jobs::StoreError);
  }
  const struct {
    const char* edit;
    const char* read;  // job, profiles or results
    const char* message;
  } cases[] = {
      {"UPDATE jobs SET samples = 0", "job", "the job J: samples 0 is not"},
      {"UPDATE jobs SET samples = -1", "job", "samples -1 is not"},
      {"UPDATE jobs SET samples = 4294967299", "job", "samples 2147483647 is not"},
      {"UPDATE jobs SET margin_db = 1e20", "job", "margin_db 1e+20 is not a number of dB"},
      {"UPDATE job_limits SET high_dbm = 1e300 WHERE wavelength_nm = 1310", "job", "high 1e+300"},
      {"UPDATE job_limits SET wavelength_nm = 1234 WHERE wavelength_nm = 1310", "job", "1234 is not a wavelength"},
      {"INSERT INTO job_references VALUES (1, 1310, 1e300)", "job", "reference at 1310 nm 1e+300"},
      {"INSERT INTO user_profiles VALUES ('lab', 'Lab', 1e20, NULL, NULL)", "profiles",
       "the profile lab: margin_db 1e+20"},
      {"INSERT INTO user_profiles VALUES ('lab', 'Lab', 1, NULL, NULL);"
       "INSERT INTO user_profile_limits VALUES ('lab', 1310, -1e300, 1e300)", "profiles", "low -1e+300"},
      {"UPDATE results SET power_dbm = 1e300", "results", "power_dbm 1e+300"},
      {"UPDATE results SET samples = 0", "results", "samples 0"},
      {"UPDATE results SET power_mw = 1e300", "results", "power_mw 1e+300"},
      {"UPDATE results SET verdict = 'OK'", "results", "verdict \"OK\""},
      {"UPDATE results SET first_reading_at = '2026-12-08 09:30:01'", "results",
       "first_reading_at \"2026-12-08 09:30:01\" is not a local time"},
      {"UPDATE results SET last_reading_at = '2026-02-29T09:30:01.250+01:00'", "results",
       "last_reading_at \"2026-02-29T09:30:01.250+01:00\" is not"},
      {"UPDATE results SET last_reading_at = NULL", "results", "known only together"},
      // Later by its text, earlier by the clock.
      {"UPDATE results SET first_reading_at = '2030-01-01T00:00:00.000+00:00', "
       "last_reading_at = '2030-01-01T00:59:59.999+01:00'", "results",
       "first_reading_at 2030-01-01T00:00:00.000+00:00 is after last_reading_at"},
  };
  const std::string pristine = folder.File("pristine.sqlite");
  std::filesystem::copy_file(path, pristine);
  for (const auto& c : cases) {
    std::filesystem::remove(path);  // MinGW's copy_file does not overwrite
    std::filesystem::copy_file(pristine, path);
    RawSql(path, c.edit);
    jobs::SqliteStore store(path);
    try {
      if (c.read == std::string("job")) store.FindJob("J");
      if (c.read == std::string("profiles")) store.UserProfiles();
      if (c.read == std::string("results")) store.LatestResults("J");
      ADD_FAILURE() << c.edit << " was read";
    } catch (const jobs::StoreError& e) {
      EXPECT_EQ(e.GetKind(), jobs::StoreError::Kind::Unusable) << c.edit;
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.edit << ": " << e.what();
    }
  }
}

// Once SQLite answers that the store is damaged, the connection reads and
// writes nothing more: a point added after it would build on the damage.
TEST_F(JobStore, AfterADamagedAnswerNothingIsWritten) {
  {
    jobs::SqliteStore store(path);
    const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"P1"});
    Capture(store, job, "P1", 1310, {-20});
  }
  const long long page = RawCount(path, "SELECT rootpage FROM sqlite_master WHERE name = 'results'");
  {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp((page - 1) * 4096);
    file.write("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8);  // no b-tree page starts so
  }
  jobs::SqliteStore store(path);
  EXPECT_THROW(store.LatestResults("J"), jobs::StoreError);
  EXPECT_THROW(store.RenamePoint("J", "P1", "P2"), jobs::StoreError);  // the points are whole
  EXPECT_EQ(RawCount(path, "SELECT count(*) FROM points WHERE label = 'P1'"), 1);
}

// ---- exports ----------------------------------------------------------------------

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  ::pclose(p);
  return out;
}

TEST_F(JobStore, ExportsHoldTheValuesAsNumbers) {
  jobs::SqliteStore store(path);
  const jobs::Job job = MakeJob(store, "J", "gpon-b+", {"光纤-1", "P,2", "P3"});
  store.SetReference("J", 1490, -3);  // loss 22.25 dB of 13..28
  Capture(store, job, "光纤-1", 1310, {-20.00, -21.00, -19.50});
  Capture(store, job, "P,2", 1490, {-25.25});
  const auto rows = jobs::JobRows(store.Points("J"), store.LatestResults("J"));

  const std::string xls = folder.File("job.xls");
  ASSERT_EQ(jobs::ExportJob(rows, xls), "");
  const std::string book = CommandOutput(std::string(KM360R_PYTHON) + " " + KM360R_READ_XLS + " " + xls);
  EXPECT_NE(book.find("types empty number text"), std::string::npos) << book;
  EXPECT_NE(book.find("row 1: 光纤-1|1310.0|-20.12|0.009721||PASS|3.0|1.5|unstable|"), std::string::npos) << book;
  EXPECT_NE(book.find("row 2: P,2|1490.0|-25.25|0.002985|22.25|PASS|1.0|0.0||"), std::string::npos) << book;
  EXPECT_NE(book.find("row 3: P3||||||||||"), std::string::npos) << book;

  const std::string csv = folder.File("job.csv");
  ASSERT_EQ(jobs::ExportJob(rows, csv), "");
  EXPECT_EQ(ReadBytes(csv).substr(0, 3), "\xEF\xBB\xBF");
  const std::string records = CommandOutput(std::string(KM360R_PYTHON) +
                                  " -c 'import csv,sys; [print(\"|\".join(r)) for r in "
                                  "csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8-sig\"))]' " +
                                  csv);
  EXPECT_NE(records.find("point|wavelength_nm|power_dbm|power_mw|loss_db|verdict|samples|span_db|unstable|time|"
                         "operator\n"),
            std::string::npos)
      << records;
  EXPECT_NE(records.find("\n光纤-1|1310|-20.12|0.009721||PASS|3|1.50|unstable|"), std::string::npos) << records;
  EXPECT_NE(records.find("\nP,2|1490|-25.25|0.002985|22.25|PASS|1|0.00||"), std::string::npos) << records;
}

}  // namespace
