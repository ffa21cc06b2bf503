// Opening the results store reads the same bytes however many results it
// holds: the header and the schema, not every page. Counted by the kernel
// (/proc/self/io), not timed.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "jobs/PointPattern.h"
#include "jobs/SqliteStore.h"
#include "TempFolder.h"

namespace {

// Bytes this process has read from files so far.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

// A store of one job with `results` results, one a point.
void MakeStore(const std::string& path, int results) {
  {
    jobs::SqliteStore store(path);
    jobs::Job job;
    job.name = "J";
    job.profile = jobs::BuiltInProfiles().front();
    store.CreateJob(job, jobs::ExpandPattern("P1-P" + std::to_string(results)).labels);
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples, "
                         "span_db, unstable, operator, measured_at) SELECT lower(hex(randomblob(16))), id, 1310, "
                         "-20, 0.01, 'PASS', 3, 0, 0, 'Ann', '2026-12-08T10:00:00+00:00' FROM points",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
}

long long BytesToOpen(const std::string& path) {
  const long long before = BytesRead();
  { jobs::SqliteStore store(path); }
  return BytesRead() - before;
}

TEST(StoreOpen, ReadsTheSameBytesForAStoreTenTimesLarger) {
  const std::string folder = NewTempFolder("km360r-open");
  const std::string small = folder + "/small.sqlite";
  const std::string large = folder + "/large.sqlite";
  MakeStore(small, 2'000);
  MakeStore(large, 20'000);
  ASSERT_GT(std::filesystem::file_size(large), 8 * std::filesystem::file_size(small));
  BytesToOpen(small);  // what the first open of a process reads once
  const long long smallCost = BytesToOpen(small);
  EXPECT_GT(smallCost, 0);
  EXPECT_EQ(BytesToOpen(large), smallCost);
  EXPECT_LT(smallCost, static_cast<long long>(std::filesystem::file_size(small)) / 4);
  std::filesystem::remove_all(folder);
}

}  // namespace
