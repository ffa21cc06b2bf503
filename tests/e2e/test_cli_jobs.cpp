// km360r-cli's test jobs against the simulated meter and a real store file:
// a capture printed as `job show` prints it, its exit code, the result kept
// across a SIGKILL, two captures into one store at once, and the refusals.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "LinkHarness.h"
#include "jobs/SqliteStore.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

class CliJobs : public ::testing::Test {
 protected:
  CliJobs() { ::setenv("KM360R_STORE", store.c_str(), 1); }
  ~CliJobs() override { ::unsetenv("KM360R_STORE"); }

  CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--language", "1"});
    return RunCli(dir, std::move(args));
  }
  CliRun Capture(const std::string& port, const std::string& job, const std::string& point,
                 std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--port", dir.Entry(port), "job", "capture", job, point};
    args.insert(args.end(), more.begin(), more.end());
    return Cli(args);
  }

  PortDir dir;
  std::string store = dir.Entry("results.sqlite");
};

// Runs SQL on the store directly, as a user's sqlite3 would.
void EditStore(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// The cells of each line, the time column (the last) dropped.
std::vector<std::string> Untimed(const std::string& out) {
  std::vector<std::string> lines;
  for (const std::string& line : Lines(out)) lines.push_back(line.substr(0, line.rfind('\t')));
  return lines;
}

TEST_F(CliJobs, ACaptureIsStoredAndPrintedAsJobShowPrintsIt) {
  Sim meter(dir, "COM3", {"--readings", "-20.00,-21.00,-19.50"});
  ASSERT_TRUE(meter.Published());
  ASSERT_EQ(Cli({"job", "new", "Street 5", "--site", "Splitter cabinet", "--operator", "Ann", "--points",
                 "P01-P03"}).exitCode, 0);
  const CliRun captured = Capture("COM3", "Street 5", "P02");
  EXPECT_EQ(captured.exitCode, 0) << captured.err;
  // (10.00 + 7.94 + 11.22) uW / 3 = 9.721 uW = -20.12 dBm; span 1.50 dB
  EXPECT_EQ(Untimed(captured.out), (std::vector<std::string>{"P02\t1310\t-20.12\t0.009721\t\tPASS\t3\t1.50"}));
  const std::vector<std::string> commands = meter.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "D"), 3) << ReadFile(dir.Entry("COM3.log"));

  const CliRun shown = Cli({"job", "show", "Street 5"});
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(Untimed(shown.out),
            (std::vector<std::string>{"point\twavelength_nm\tpower_dbm\tpower_mw\tloss_db\tverdict\tsamples\tspan_db",
                                      "P01\t\t\t\t\t\t\t", "P02\t1310\t-20.12\t0.009721\t\tPASS\t3\t1.50",
                                      "P03\t\t\t\t\t\t\t"}));
  EXPECT_EQ(Lines(shown.out).at(2), captured.out.substr(0, captured.out.size() - 1));
  const CliRun listed = Cli({"job", "list"});
  EXPECT_EQ(Untimed(listed.out), (std::vector<std::string>{"Street 5\tSplitter cabinet\tAnn\t3\t1\t0\t0\t2"}));

  // A second run's capture: the store says its readings all came after the
  // first's. (The times share their offset, so their texts sort as the times do.)
  ASSERT_EQ(Capture("COM3", "Street 5", "P03").exitCode, 0);
  const std::vector<jobs::Result> stored = jobs::SqliteStore(store).LatestResults("Street 5");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].lastReadingAt.size(), 29u) << stored[0].lastReadingAt;
  EXPECT_LT(stored[0].lastReadingAt, stored[1].firstReadingAt);  // read back: each first <= its last
  // A time edited into something else is refused when read, with the reason.
  EditStore(store, "UPDATE results SET last_reading_at = 'noon' WHERE id = 2");
  const CliRun refused = Cli({"job", "show", "Street 5"});
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_NE(refused.err.find("last_reading_at \"noon\" is not a local time"), std::string::npos) << refused.err;
}

// The meter switched to another source in the middle of a capture: the
// reading at 1490 nm is dropped and the count starts again at 1310 nm.
TEST_F(CliJobs, ACaptureStartsItsCountAgainWhenTheWavelengthChanges) {
  Sim meter(dir, "COM3", {"--readings", "-30.00@1490,-21.00,-22.00,-23.00"});
  ASSERT_TRUE(meter.Published());
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1"}).exitCode, 0);
  const CliRun captured = Capture("COM3", "J", "P1");
  EXPECT_EQ(captured.exitCode, 0) << captured.err;
  // (7.943 + 6.310 + 5.012) uW / 3 = 6.422 uW = -21.92 dBm
  EXPECT_EQ(Untimed(captured.out), (std::vector<std::string>{"P1\t1310\t-21.92\t0.006422\t\tPASS\t3\t2.00"}));
}

TEST_F(CliJobs, ALossBeyondTheBudgetFailsWithExitCodeFour) {
  Sim meter(dir, "COM3", {"--readings", "-35.00"});
  ASSERT_TRUE(meter.Published());
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "ODF-1", "--samples", "1"}).exitCode, 0);
  ASSERT_EQ(Cli({"job", "reference", "J", "1310", "-3"}).exitCode, 0);
  const CliRun failed = Capture("COM3", "J", "ODF-1");
  EXPECT_EQ(failed.exitCode, 4) << failed.err;
  EXPECT_EQ(Untimed(failed.out), (std::vector<std::string>{"ODF-1\t1310\t-35.00\t0.0003162\t32.00\tFAIL\t1\t0.00"}));
  // Without the reference the power itself is judged: -35 dBm is below -28.
  ASSERT_EQ(Cli({"job", "reference", "J", "1310", "-"}).exitCode, 0);
  EXPECT_EQ(Untimed(Capture("COM3", "J", "ODF-1").out),
            (std::vector<std::string>{"ODF-1\t1310\t-35.00\t0.0003162\t\tFAIL\t1\t0.00"}));
}

TEST_F(CliJobs, AResultPrintedIsKeptWhenTheProgramIsKilledAtOnce) {
  Sim meter(dir, "COM3", {"--readings", "-20.00"});
  ASSERT_TRUE(meter.Published());
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1"}).exitCode, 0);
  RunCli(dir, {"--port", dir.Entry("COM3"), "job", "capture", "J", "P1", "--samples", "1"},
         [](pid_t pid, const std::string& out) {
           const auto until = Clock::now() + 20s;
           while (Clock::now() < until && ReadFile(out).find('\n') == std::string::npos) {
             std::this_thread::sleep_for(1ms);
           }
           ::kill(pid, SIGKILL);
         });
  EXPECT_EQ(Untimed(Cli({"job", "show", "J"}).out).at(1), "P1\t1310\t-20.00\t0.01000\t\tPASS\t1\t0.00");
}

TEST_F(CliJobs, TwoProgramsCaptureIntoOneStoreAtOnce) {
  Sim first(dir, "COM3", {"--readings", "-20.00"});
  Sim second(dir, "COM4", {"--readings", "-21.00"});
  ASSERT_TRUE(first.Published() && second.Published());
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "A1-A3,B1-B3", "--samples", "1"}).exitCode, 0);
  for (int round = 1; round <= 3; ++round) {
    std::vector<pid_t> pids;
    std::vector<std::string> errs;
    for (const char* side : {"A", "B"}) {
      const std::string point = side + std::to_string(round);
      const std::string err = dir.Entry(point + ".err");
      const int out = ::open(dir.Entry(point + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      pids.push_back(StartCli({"--port", dir.Entry(side[0] == 'A' ? "COM3" : "COM4"), "job", "capture", "J", point},
                              out, errFd));
      errs.push_back(err);
      ::close(out);
      ::close(errFd);
    }
    for (size_t i = 0; i < pids.size(); ++i) {
      EXPECT_EQ(WaitCli(pids[i]), 0) << ReadFile(errs[i]);
      EXPECT_EQ(ReadFile(errs[i]), "");
    }
  }
  const std::vector<std::string> shown = Untimed(Cli({"job", "show", "J"}).out);
  ASSERT_EQ(shown.size(), 7u);
  for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(shown[i].substr(3, 12), "1310\t-20.00\t") << shown[i];
  for (size_t i = 4; i <= 6; ++i) EXPECT_EQ(shown[i].substr(3, 12), "1310\t-21.00\t") << shown[i];
}

// The bytes `job show` and `job list` print for results edited in: rounding
// of halves, four significant milliwatt digits, a loss, every verdict, a
// superseded result and a removed point left out, points in job order, an
// untested point and a backslash in a label.
TEST_F(CliJobs, ShowAndListPrintTheStoreByteForByte) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "A1-A4"}).exitCode, 0);
  ASSERT_EQ(Cli({"job", "points", "J", "rename", "A2", "A\\2"}).exitCode, 0);
  EditStore(store,
            "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, loss_db, verdict, samples, "
            "span_db, unstable, operator, measured_at, superseded) VALUES "
            "('u1', 1, 1310, -20.125, 0.009716, NULL, 'PASS', 3, 0.005, 0, 'Ann', '2026-12-08T09:30:01+01:00', 0),"
            "('u2', 1, 1490, -27.5, 0.001778, 24.5, 'MARGINAL', 5, 1.5, 1, 'Ann', '2026-12-08T09:31:00+01:00', 0),"
            "('u3', 1, 1550, -40, 0.0001, 37, 'PASS', 3, 0, 0, 'Ann', '2026-12-08T09:32:00+01:00', 1),"
            "('u4', 1, 1550, -35.004, 0.0003159, 31.996, 'FAIL', 3, 0.2, 0, 'Bo', '2026-12-08T09:33:00+01:00', 0),"
            "('u5', 3, 1310, 1.0, 1.259, NULL, 'NO LIMIT', 1, 0, 0, 'Bo', '2026-12-08T09:34:00+01:00', 0),"
            "('u6', 3, 1490, 10.999, 12.5887, NULL, 'NO LIMIT', 1, 0, 0, 'Bo', '2026-12-08T09:35:00+01:00', 0),"
            "('u7', 4, 1310, -0.004, 0.99908, NULL, 'NO LIMIT', 1, 0, 0, 'Bo', '2026-12-08T09:36:00+01:00', 0);"
            "UPDATE points SET position = 0 WHERE id = 3;"
            "UPDATE jobs SET created_at = '2026-12-08T08:00:00+01:00';");
  ASSERT_EQ(Cli({"job", "points", "J", "remove", "A4"}).exitCode, 0);  // counts the job again
  EXPECT_EQ(Cli({"job", "show", "J"}).out,
            "point\twavelength_nm\tpower_dbm\tpower_mw\tloss_db\tverdict\tsamples\tspan_db\ttime\n"
            "A3\t1310\t1.00\t1.259\t\tNO LIMIT\t1\t0.00\t2026-12-08T09:34:00+01:00\n"
            "A3\t1490\t11.00\t12.59\t\tNO LIMIT\t1\t0.00\t2026-12-08T09:35:00+01:00\n"
            "A1\t1310\t-20.13\t0.009716\t\tPASS\t3\t0.01\t2026-12-08T09:30:01+01:00\n"
            "A1\t1490\t-27.50\t0.001778\t24.50\tMARGINAL\t5\t1.50\t2026-12-08T09:31:00+01:00\n"
            "A1\t1550\t-35.00\t0.0003159\t32.00\tFAIL\t3\t0.20\t2026-12-08T09:33:00+01:00\n"
            "A\\\\2\t\t\t\t\t\t\t\t\n");
  EXPECT_EQ(Cli({"job", "list"}).out, "J\t\t\t3\t0\t0\t1\t1\t2026-12-08T08:00:00+01:00\n");
}

TEST_F(CliJobs, RefusalsAndTheirExitCodes) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1-P2"}).exitCode, 0);
  const std::string notStore = dir.Entry("notes.txt");
  { std::ofstream(notStore) << "P1\nP2\n"; }
  const std::string badFile = dir.Entry("bad.txt");
  { std::ofstream(badFile) << "P1\nODF \xB9\xE2\n"; }
  const std::string nul = dir.Entry("nul.txt");
  { std::ofstream(nul) << std::string("P1\nP\0X\n", 7); }
  const std::string loop = dir.Entry("loop.sqlite");
  std::filesystem::create_symlink(loop, loop);
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  } cases[] = {
      {{"job", "new", "J"}, 2, "a job named J exists"},
      {{"job", "new", "K", "--points", "P5-P1"}, 2, "P5-P1: the range counts down"},
      {{"job", "new", "K", "--profile", "gpon-x"}, 2, "there is no profile gpon-x"},
      {{"job", "points", "J", "add", "P2"}, 2, "the point P2 is already in the job"},
      {{"job", "points", "J", "remove", "P9"}, 2, "there is no point P9 in the job J"},
      {{"job", "show", "Nobody"}, 2, "there is no job named Nobody"},
      {{"job", "capture", "J", "P9"}, 2, "there is no point P9 in the job J"},
      {{"job", "reference", "J", "1310", "high"}, 2, "a power in dBm"},
      {{"job", "reference", "J", "1310", std::string(400, '9')}, 2, "a power in dBm from -200 to 200"},
      {{"job", "reference", "J", "1310", "-1" + std::string(300, '0')}, 2, "a power in dBm from -200 to 200"},
      {{"job", "reference", "J", "1234", "-3"}, 2, "a wavelength of the meter"},
      {{"job", "new", "K", "--points-file", dir.Path()}, 3, "cannot be read"},
      {{"job", "new", "K", "--points-file", nul}, 2, "the label \"P\\x00X\" holds"},
      {{"--store", loop, "job", "list"}, 3, "loop.sqlite: cannot be opened: Too many levels of symbolic links"},
      {{"--store", loop, "job", "new", "K"}, 3, "Too many levels of symbolic links"},
      {{"job", "capture", "J", "P1", "--samples", "0"}, 2, "--samples needs a whole number"},
      {{"job", "new", "Cab\xB9\xE2"}, 2, "a job's name must be UTF-8 text"},
      {{"job", "new", "K", "--operator", std::string(201, 'o')}, 2, "at most 200 characters"},
      {{"job", "points", "J", "add", std::string(3000, 'L')}, 2, "at most 64 characters"},
      {{"job", "new", "K", "--points-file", badFile}, 2, "a point's label must be UTF-8 text"},
      {{"job", "rename", "J", "J"}, 2, "a job named J exists"},
      {{"job", "rename", "J", std::string(100000, 'n')}, 2, "at most 200 characters"},
      {{"job", "rename", "Nobody", "K"}, 2, "there is no job named Nobody"},
      {{"--store", notStore, "job", "list"}, 3, "notes.txt: is not a results store"},
      {{"--store", notStore, "profiles"}, 3, "notes.txt: is not a results store"},
  };
  for (const auto& c : cases) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.at(1) << " " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(notStore), "P1\nP2\n");
  EXPECT_EQ(Cli({"job", "check"}).exitCode, 0);
  // The job is as it was made, and nothing else was stored.
  EXPECT_EQ(Lines(Cli({"job", "show", "J"}).out).size(), 3u);
  EXPECT_EQ(Lines(Cli({"job", "list"}).out).size(), 1u);
  // A good new name is taken, results and points with it.
  EXPECT_EQ(Cli({"job", "rename", "J", "Street 5"}).exitCode, 0);
  EXPECT_EQ(Lines(Cli({"job", "show", "Street 5"}).out).size(), 3u);
}

TEST_F(CliJobs, TheDefaultStoreIsUnderTheUsersDataFolder) {
  ::unsetenv("KM360R_STORE");
  ::setenv("XDG_DATA_HOME", dir.Entry("data").c_str(), 1);
  const CliRun made = Cli({"job", "new", "J", "--points-file", dir.Entry("points.csv")});
  EXPECT_EQ(made.exitCode, 3);  // the file is not there yet
  { std::ofstream(dir.Entry("points.csv")) << "label,fibre\r\n\"ONT 1, east\",3\r\nONT-2,4\r\n"; }
  EXPECT_EQ(Cli({"job", "new", "J", "--points-file", dir.Entry("points.csv")}).exitCode, 0);
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.Entry("data/km360r/results.sqlite")));
  const CliRun shown = Cli({"--store", dir.Entry("data/km360r/results.sqlite"), "job", "show", "J"});
  EXPECT_EQ(Untimed(shown.out).size(), 4u);
  EXPECT_EQ(Untimed(shown.out).at(2).substr(0, 12), "ONT 1, east\t");
}

// Values a user wrote into the store with sqlite3 that no job or profile may
// hold: the command ends with exit code 3 naming the job or profile and the
// field, and nothing is computed or stored with them.
TEST_F(CliJobs, ValuesOutOfBoundsInTheStoreAreRefused) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1"}).exitCode, 0);
  EditStore(store, "UPDATE jobs SET samples = 0;"
                   "INSERT INTO user_profiles VALUES ('lab', 'Lab', 1e20, NULL, NULL);");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--port", dir.Entry("COM3"), "job", "capture", "J", "P1"}, "the job J: samples 0 is not"},
      {{"profiles"}, "the profile lab: margin_db 1e+20 is not"},
  };
  for (const auto& c : cases) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

// job check runs the full check: an index swapped for another is damage
// that opening the store does not read far enough to see.
TEST_F(CliJobs, JobCheckFindsDamageOpeningDoesNotRead) {
  ASSERT_EQ(Cli({"job", "new", "J", "--points", "P1-P50"}).exitCode, 0);
  const CliRun sound = Cli({"job", "check"});
  EXPECT_EQ(sound.exitCode, 0) << sound.err;
  EXPECT_EQ(sound.out + sound.err, "");
  EditStore(store,
            "PRAGMA writable_schema = ON;"
            "UPDATE sqlite_master SET rootpage = (SELECT sum(rootpage) FROM sqlite_master WHERE name IN "
            "('points_label', 'points_order')) - rootpage WHERE name IN ('points_label', 'points_order');");
  const CliRun damaged = Cli({"job", "check"});
  EXPECT_EQ(damaged.exitCode, 3);
  EXPECT_NE(damaged.err.find("results.sqlite: the results store is damaged: "), std::string::npos) << damaged.err;
}

// km360r-cli with the environment `env`, bound by file permissions as any
// user is: the tests may run as root, whose capabilities it then lacks.
CliRun AsPlainUser(const PortDir& dir, const std::string& env, const std::vector<std::string>& args) {
  std::string command = (::geteuid() == 0 ? "setpriv --bounding-set=-all " : "");
  command += "env -u KM360R_STORE -u XDG_DATA_HOME " + env + " '" KM360R_CLI_PATH "' --language 1";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " >'" + dir.Entry("plain.out") + "' 2>'" + dir.Entry("plain.err") + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir.Entry("plain.out")),
          ReadFile(dir.Entry("plain.err"))};
}

// A store the user may not reach ends with exit code 3 and the reason; one
// in a folder the user may read but not write is still read.
TEST_F(CliJobs, StoresBehindPermissions) {
  for (const char* folder : {"locked", "home", "readonly"}) std::filesystem::create_directory(dir.Entry(folder));
  ASSERT_EQ(Cli({"--store", dir.Entry("readonly/results.sqlite"), "job", "new", "J", "--points", "P1"}).exitCode, 0);
  ::chmod(dir.Entry("locked").c_str(), 0);
  ::chmod(dir.Entry("home").c_str(), 0);
  ::chmod(dir.Entry("readonly").c_str(), 0555);
  const std::string readOnly = dir.Entry("readonly/results.sqlite");
  const struct {
    std::string env;
    std::vector<std::string> args;
    int exitCode;
    const char* text;  // in the output for 0, else in the message
  } cases[] = {
      {"", {"--store", dir.Entry("locked/results.sqlite"), "job", "list"}, 3, "cannot be opened: Permission denied"},
      {"", {"--store", dir.Entry("locked/results.sqlite"), "job", "new", "K"}, 3, "Permission denied"},
      {"HOME=" + dir.Entry("home"), {"job", "list"}, 3, "cannot be opened: Permission denied"},
      {"", {"--store", readOnly, "job", "list"}, 0, "J\t\t\t1\t0\t0\t0\t1\t"},
      {"", {"--store", readOnly, "job", "new", "K"}, 3, "readonly"},
  };
  for (const auto& c : cases) {
    const CliRun run = AsPlainUser(dir, c.env, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back() << ": " << run.err;
    EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.text), std::string::npos) << run.out << run.err;
  }
  for (const char* folder : {"locked", "home", "readonly"}) ::chmod(dir.Entry(folder).c_str(), 0700);
}

}  // namespace
}  // namespace e2e
