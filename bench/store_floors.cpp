// The local results store against its floor, each row in paired runs on the
// same data, alternately, 7 pairs (KM360R_BENCH_PAIRS), medians and their ratio printed:
//   job list   `km360r-cli job list` over 1,000,000 results in 100 jobs, and
//              over 100,000 (the figure must not grow with the results), against
//              `sqlite3` running the job list's query on the same file;
//   job show   `km360r-cli job show` of 10,000 points at 3 wavelengths, against
//              `sqlite3` running the same two queries (points, latest results);
//   capture    one capture stored by this program's store (opening the store,
//              the result in one committed transaction), against `sqlite3`
//              running the same statements with the same durability.
// Usage: bench_store_floors [ROW...]   (rows: list show capture; all by default)
// The stores are made in a temporary folder on the disk (a capture's commit
// reaches it) and removed at the end.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "jobs/Capture.h"
#include "jobs/Sqlite.h"
#include "jobs/SqliteStore.h"
#include "jobs/StoreSchema.h"

#ifndef KM360R_CLI_PATH
#define KM360R_CLI_PATH "km360r-cli"
#endif

namespace {

namespace fs = std::filesystem;

// KM360R_BENCH_PAIRS=N runs N pairs instead: more on a busy machine.
int Pairs() {
  const char* n = std::getenv("KM360R_BENCH_PAIRS");
  return n && std::atoi(n) > 0 ? std::atoi(n) : 7;
}

// Runs `command` through the shell; its time in milliseconds.
double Run(const std::string& command) {
  const auto t0 = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const auto t1 = std::chrono::steady_clock::now();
  if (status != 0) {
    std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// `before` (if any) runs ahead of each run, untimed.
void RunPairs(const std::string& row, const std::string& program, const std::string& floor,
           const std::function<void()>& before = {}) {
  std::vector<double> p, f;
  for (int i = 0; i < Pairs(); ++i) {
    if (before) before();
    p.push_back(Run(program));
    if (before) before();
    f.push_back(Run(floor));
  }
  const double mp = Median(p), mf = Median(f);
  std::printf("%-44s program %8.1f ms   floor %8.1f ms   %5.2fx\n", row.c_str(), mp, mf, mp / mf);
  std::fflush(stdout);
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::string> Labels(int n) {
  std::vector<std::string> labels;
  char text[32];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(text, sizeof text, "P%05d", i);
    labels.emplace_back(text);
  }
  return labels;
}

jobs::Job NewJob(const std::string& name) {
  jobs::Job job;
  job.name = name;
  job.site = "Block C";
  job.operatorName = "Ann";
  job.profile = jobs::BuiltInProfiles().at(0);
  return job;
}

// A store of `jobs` jobs of `points` points, each point measured at every
// wavelength of `nms` (verdicts varying), its job counts as a sync leaves them.
void Fill(const fs::path& path, int jobCount, int points, const std::vector<int>& nms) {
  {
    jobs::SqliteStore store(path.string());
    for (int j = 1; j <= jobCount; ++j) store.CreateJob(NewJob("Job " + std::to_string(j)), Labels(points));
  }
  jobs::sql::Connection db(path.string(), jobs::sql::Connection::Mode::ReadWrite);
  db.Execute("BEGIN");
  std::string wavelengths;
  for (int nm : nms) {
    wavelengths += (wavelengths.empty() ? "SELECT " : " UNION ALL SELECT ") + std::to_string(nm) + " AS nm";
  }
  db.Execute(
      "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples, span_db, unstable, "
      "operator, measured_at) SELECT lower(hex(randomblob(16))), p.id, w.nm, -20.0 - (p.id % 7), 0.01, "
      "CASE p.id % 3 WHEN 0 THEN 'PASS' WHEN 1 THEN 'MARGINAL' ELSE 'FAIL' END, 3, 0.1, 0, 'Ann', "
      "'2026-12-07T10:00:00+01:00' FROM points p, (" + wavelengths + ") w ORDER BY p.id, w.nm");
  jobs::sql::Statement count(db, jobs::schema::RefreshJobCounts(jobs::schema::Dialect::Sqlite));
  for (int j = 1; j <= jobCount; ++j) {
    count.Reset();
    count.Bind(1, j).Run();
  }
  db.Execute("COMMIT");
}

std::string SqliteFile(const fs::path& folder, const std::string& name, const std::string& sql) {
  const fs::path file = folder / name;
  std::ofstream(file) << sql;
  return file.string();
}

void ListRow(const std::string& cli, const fs::path& folder) {
  const std::string sql = SqliteFile(folder, "list.sql", std::string(jobs::schema::ListJobs()) + ";\n");
  for (const int points : {500, 5000}) {
    const fs::path store = folder / ("list-" + std::to_string(points) + ".sqlite");
    Fill(store, 100, points, {1310, 1490});
    RunPairs("job list, " + std::to_string(100 * points * 2) + " results",
          cli + " --store " + Quoted(store.string()) + " job list > /dev/null",
          "sqlite3 " + Quoted(store.string()) + " < " + Quoted(sql) + " > /dev/null");
  }
}

void ShowRow(const std::string& cli, const fs::path& folder) {
  const fs::path store = folder / "show.sqlite";
  Fill(store, 1, 10000, {1310, 1490, 1550});
  const std::string sql = SqliteFile(
      folder, "show.sql",
      ".mode tabs\n"
      "SELECT label FROM points WHERE job_id = (SELECT id FROM jobs WHERE name = 'Job 1') AND removed_at IS NULL "
      "ORDER BY position, id;\n"
      "SELECT p.label, r.uuid, r.wavelength_nm, r.power_dbm, r.power_mw, r.loss_db, r.verdict, r.samples, r.span_db, "
      "r.unstable, r.operator, r.measured_at, r.first_reading_at, r.last_reading_at FROM points p "
      "JOIN results r ON r.point_id = p.id AND r.superseded = 0 "
      "WHERE p.job_id = (SELECT id FROM jobs WHERE name = 'Job 1') AND p.removed_at IS NULL "
      "ORDER BY p.position, p.id, r.wavelength_nm;\n");
  RunPairs("job show, 10,000 points x 3 wavelengths",
        cli + " --store " + Quoted(store.string()) + " job show 'Job 1' > /dev/null",
        "sqlite3 " + Quoted(store.string()) + " < " + Quoted(sql) + " > /dev/null");
}

// The result every capture of the row stores: point P00001 at 1310 nm.
jobs::Result CaptureResult() {
  const jobs::CaptureInput input{1310, {-20.1, -20.2, -20.0}, {}, 1'799'999'999'500, 1'800'000'000'000};
  jobs::Result r = jobs::ResultOf(NewJob("Job 1"), "P00001", input, 1'800'000'000);
  return r;
}

// The program side of one capture: what `job capture` and the job panel do
// once the readings are in.
int CaptureOnce(const std::string& path) {
  jobs::SqliteStore store(path);
  jobs::Result r = CaptureResult();
  store.AddResult("Job 1", r);
  return 0;
}

void CaptureRow(const std::string& self, const fs::path& folder) {
  const fs::path store = folder / "capture.sqlite";
  Fill(store, 1, 2000, {1310, 1490});
  const jobs::Result r = CaptureResult();
  // The statements the store runs for it: opening (the header's application
  // id, version and tables; WAL, full sync, foreign keys) and the capture's
  // transaction, with the values the program binds written in.
  std::string worst(jobs::schema::PointWorst());
  worst.replace(worst.find("?1"), 2, "1");
  std::string move(jobs::schema::MoveJobCount());
  for (const auto& [mark, value] : {std::pair{"?1", "2"}, {"?2", "2"}, {"?3", "1"}}) {
    for (size_t at = move.find(mark); at != std::string::npos; at = move.find(mark)) move.replace(at, 2, value);
  }
  char values[512];
  std::snprintf(values, sizeof values,
                "(lower(hex(randomblob(16))), 1, 1310, %.17g, %.17g, NULL, '%s', %d, %.17g, 0, '%s', '%s', '%s', '%s')",
                r.powerDbm, r.powerMw, jobs::VerdictText(r.verdict), r.samples, r.spanDb, r.operatorName.c_str(), r.measured.c_str(),
                r.firstReadingAt.c_str(), r.lastReadingAt.c_str());
  const std::string sql = SqliteFile(
      folder, "capture.sql",
      ".output /dev/null\n"
      "PRAGMA application_id;\nPRAGMA user_version;\n"
      "SELECT type || ' ' || name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%';\n"
      "PRAGMA journal_mode = WAL;\nPRAGMA synchronous = FULL;\nPRAGMA foreign_keys = ON;\nPRAGMA user_version;\n"
      "BEGIN IMMEDIATE;\n"
      "SELECT id FROM jobs WHERE name = 'Job 1';\n"
      "SELECT id FROM points WHERE job_id = 1 AND label = 'P00001' AND removed_at IS NULL;\n" +
          worst + ";\n"
          "UPDATE results SET superseded = 1 WHERE point_id = 1 AND wavelength_nm = 1310 AND superseded = 0;\n"
          "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, loss_db, verdict, samples, "
          "span_db, unstable, operator, measured_at, first_reading_at, last_reading_at) VALUES " +
          values + ";\n" + worst + ";\n" + move + ";\nCOMMIT;\n");
  RunPairs("capture, write path (one result, committed)", Quoted(self) + " --capture " + Quoted(store.string()),
        "sqlite3 " + Quoted(store.string()) + " < " + Quoted(sql));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--capture") return CaptureOnce(argv[2]);
  const char* cli = std::getenv("KM360R_CLI");
  const std::string cliPath = cli ? cli : KM360R_CLI_PATH;
  std::vector<std::string> rows(argv + 1, argv + argc);
  if (rows.empty()) rows = {"list", "show", "capture"};
  const fs::path folder = fs::temp_directory_path() / ("km360r-store-floors-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("medians of %d pairs, program and floor alternately\n", Pairs());
  for (const std::string& row : rows) {
    if (row == "list") ListRow(cliPath, folder);
    if (row == "show") ShowRow(cliPath, folder);
    if (row == "capture") CaptureRow(fs::canonical("/proc/self/exe").string(), folder);
  }
  if (!std::getenv("KM360R_BENCH_KEEP")) fs::remove_all(folder);
  else std::printf("kept in %s\n", folder.c_str());
  return 0;
}
