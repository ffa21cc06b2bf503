// Opening the results store reads the same bytes however many results it
// holds: the header and the schema, not every page. Counted by the kernel
// (/proc/self/io), not timed.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "jobs/PointPattern.h"
#include "jobs/SqliteStore.h"
#include "TempFolder.h"

namespace {

// Bytes this process has read from files before this look at /proc/self/io;
// `look` is set to the bytes the look itself reads.
long long BytesRead(long long& look) {
  std::ifstream io("/proc/self/io");
  const std::string text((std::istreambuf_iterator<char>(io)), std::istreambuf_iterator<char>());
  look = static_cast<long long>(text.size());
  const size_t at = text.find("rchar: ");
  return at == std::string::npos ? -1 : std::stoll(text.substr(at + 7));
}

// Opens a store of one job whose `n` points have a result each; the bytes
// that opening it again reads.
long long BytesToOpen(const std::string& path, int n) {
  {
    jobs::SqliteStore store(path);
    store.CreateJob(jobs::Job{.name = "J", .profile = jobs::BuiltInProfiles().front()},
                    jobs::ExpandPattern("P1-P" + std::to_string(n)).labels);
  }
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples, span_db, "
               "unstable, operator, measured_at) SELECT hex(randomblob(16)), id, 1310, -20, 0.01, 'PASS', 3, 0, 0, "
               "'', '' FROM points",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
  jobs::SqliteStore{path};  // what the first open of a process reads once
  long long look = 0, lookAfter = 0;
  const long long before = BytesRead(look);
  jobs::SqliteStore{path};
  return BytesRead(lookAfter) - before - look;
}

TEST(StoreOpen, ReadsTheSameBytesForAStoreTenTimesLarger) {
  const std::string folder = NewTempFolder("km360r-open");
  const long long small = BytesToOpen(folder + "/small.sqlite", 2'000);
  const long long large = BytesToOpen(folder + "/large.sqlite", 20'000);
  EXPECT_GT(std::filesystem::file_size(folder + "/large.sqlite"), 8 * std::filesystem::file_size(folder + "/small.sqlite"));
  EXPECT_GT(small, 0);
  EXPECT_EQ(large, small);
  std::filesystem::remove_all(folder);
}

}  // namespace
