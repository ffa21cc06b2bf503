// km360r-cli's job sync and server reads against a real PostgreSQL server
// (tests/pg/with-server.sh starts it): each test has a database of its own.
// Local stores are filled through the program's own store, as captures fill them.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <functional>
#include <regex>
#include <set>
#include <thread>

#include "field/LiveLog.h"
#include "jobs/Capture.h"
#include "jobs/Pg.h"
#include "jobs/PgStore.h"
#include "jobs/Sqlite.h"
#include "common/Language.h"
#include "jobs/SqliteStore.h"
#include "jobs/Sync.h"
#include "tests/e2e/LinkHarness.h"

namespace {

using e2e::CliRun;
using e2e::Lines;
using e2e::ReadFile;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// A URL naming `database` on the test server, as `user` (the owner when empty).
std::string Url(const std::string& database, const std::string& user = {}) {
  return "postgresql:///" + database + "?host=" + Env("KM360R_TEST_SOCKET") +
         "&user=" + (user.empty() ? Env("KM360R_TEST_USER") : user);
}

// Makes job `name` with `points` points and, for each point, one capture at
// 1310 and one at 1490 nm.
void FillStore(const std::string& path, const std::string& name, int points, const std::string& label = "P") {
  jobs::SqliteStore store(path);
  jobs::Job job;
  job.name = name;
  job.site = "Cabinet 'A'";
  job.operatorName = "Ann";
  job.profile = jobs::BuiltInProfiles()[0];
  std::vector<std::string> labels;
  for (int i = 1; i <= points; ++i) labels.push_back(label + std::to_string(i));
  store.CreateJob(job, labels);
  const jobs::Job made = *store.FindJob(name);
  for (int i = 0; i < points; ++i) {
    for (int nm : {1310, 1490}) {
      jobs::Result r = jobs::ResultOf(made, labels[static_cast<size_t>(i)], nm, {-20.0 - i % 10, -20.5}, 1765000000);
      store.AddResult(name, r);
    }
  }
}

class TeamServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Env("KM360R_TEST_SERVER").empty()) GTEST_SKIP() << "no test server (run through tests/pg/with-server.sh)";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    database = "t_" + std::string(info->name());
    for (char& c : database) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    MakeDatabase(database);
    server = Url(database);
  }

  // A connection of its own each time: some tests restart the server.
  static void MakeDatabase(const std::string& name) {
    jobs::pg::Connection admin(Env("KM360R_TEST_SERVER"));
    admin.Execute("DROP DATABASE IF EXISTS " + name);
    admin.Execute("CREATE DATABASE " + name + " OWNER km360r_pw");
  }
  // pg_ctl for the test cluster with `args` appended; true when it succeeded.
  static bool PgCtl(const std::string& args) {
    return std::system((Env("KM360R_TEST_PG_CTL") + " " + args + " >/dev/null 2>&1").c_str()) == 0;
  }
  // The server as the tests have it: on its socket only.
  static bool StartOnSocket() { return PgCtl("-w -o \"-k " + Env("KM360R_TEST_SOCKET") + " -h ''\" start"); }
  // Waits until a sync's batch transaction has written results and at least
  // one whole batch is in; false when the sync got past that unseen.
  bool WaitForSecondBatch() {
    jobs::pg::Connection watch(server);
    for (int i = 0; i < 50000; ++i) {
      if (watch.Query("SELECT (SELECT count(*) FROM pg_stat_activity WHERE application_name = 'km360r' "
                      "AND backend_xid IS NOT NULL AND pid <> pg_backend_pid()) > 0 "
                      "AND (SELECT to_regclass('results') IS NOT NULL)")
                  .Text(0, 0) == "t" &&
          watch.Query("SELECT count(*) FROM results").Int(0, 0) >= static_cast<int64_t>(jobs::kSyncBatch)) {
        return true;
      }
      // A moment between looks leaves the machine to the sync being watched:
      // the batch being written lasts far longer.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  int64_t ServerCount(const std::string& sql) {
    jobs::pg::Connection db(server);
    return db.Query(sql).Int(0, 0);
  }

  CliRun Cli(const std::string& store, std::vector<std::string> args) {
    args.insert(args.begin(), {"--language", "1", "--store", store});
    return e2e::RunCli(dir, std::move(args));
  }
  CliRun Sync(const std::string& store) { return Cli(store, {"--server", server, "job", "sync"}); }

  ScopedPortDir dir;
  std::string database;
  std::string server;
  std::string storeA = dir.Entry("a.sqlite");
  std::string storeB = dir.Entry("b.sqlite");
};

TEST_F(TeamServer, ASyncSendsEveryResultOnceAndTheServerShowsWhatTheStoreShows) {
  FillStore(storeA, "Street 5", 3);
  CliRun first = Sync(storeA);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, "sent 6 results, 0 already there\n");
  EXPECT_EQ(Sync(storeA).out, "sent 0 results, 0 already there\n");
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 6);

  // A capture again supersedes the earlier one here and, after a sync, there.
  {
    jobs::SqliteStore store(storeA);
    jobs::Result again = jobs::ResultOf(*store.FindJob("Street 5"), "P2", 1310, {-30.0}, 1765000100);
    store.AddResult("Street 5", again);
  }
  EXPECT_EQ(Sync(storeA).out, "sent 1 results, 1 already there\n");
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results WHERE superseded = 1"), 1);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"job", "show", "Street 5"}, std::vector<std::string>{"job", "list"}}) {
    const CliRun local = Cli(storeA, command);
    std::vector<std::string> remote = {"--server", server};
    remote.insert(remote.end(), command.begin(), command.end());
    const CliRun fromServer = Cli(dir.Entry("none.sqlite"), remote);
    EXPECT_EQ(fromServer.exitCode, 0) << fromServer.err;
    EXPECT_EQ(fromServer.out, local.out);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Entry("none.sqlite")));  // reads never touch a local store
}

TEST_F(TeamServer, TwoStoresSyncIntoTheirUnion) {
  FillStore(storeA, "North", 2);
  FillStore(storeB, "South", 3);
  EXPECT_EQ(Sync(storeA).out, "sent 4 results, 0 already there\n");
  EXPECT_EQ(Sync(storeB).out, "sent 6 results, 0 already there\n");
  const CliRun listed = Cli(storeA, {"--server", server, "job", "list"});
  ASSERT_EQ(Lines(listed.out).size(), 2u) << listed.out;
  EXPECT_EQ(Lines(listed.out)[0].rfind("North\tCabinet 'A'\tAnn\t2\t", 0), 0u);
  EXPECT_EQ(Lines(listed.out)[1].rfind("South\tCabinet 'A'\tAnn\t3\t", 0), 0u);
}

TEST_F(TeamServer, ASyncKilledMidBatchIsCompletedByTheNextWithEveryResultOnce) {
  FillStore(storeA, "Big", 3000);  // 6000 results, three batches
  const int out = ::open(dir.Entry("kill.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const pid_t pid = e2e::StartCli({"--store", storeA, "--server", server, "job", "sync"}, out, out);
  ::close(out);
  // Killed once a batch of results is in and the next one is being written.
  const bool inBatch = WaitForSecondBatch();
  ::kill(pid, SIGKILL);
  EXPECT_EQ(e2e::WaitCli(pid), 128 + SIGKILL);
  ASSERT_TRUE(inBatch);
  // The killed connection's transaction is rolled back: whole batches only.
  const int64_t kept = ServerCount("SELECT count(*) FROM results");
  EXPECT_EQ(kept % static_cast<int64_t>(jobs::kSyncBatch), 0) << kept;
  EXPECT_LT(kept, 6000);

  const CliRun second = Sync(storeA);
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 6000);
  EXPECT_EQ(ServerCount("SELECT count(DISTINCT uuid) FROM results"), 6000);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM points"), 3000);
}

TEST_F(TeamServer, ASyncCutOffByTheServerStoppingIsCompletedAfterItsRestart) {
  // 6000 results, three batches: the server is stopped while batches remain,
  // however quickly the sync gets on once the second has begun.
  FillStore(storeA, "Big", 3000);
  const int out = ::open(dir.Entry("stop.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const pid_t pid = e2e::StartCli({"--store", storeA, "--server", server, "job", "sync"}, out, out);
  ::close(out);
  const bool inBatch = WaitForSecondBatch();
  const bool stopped = PgCtl("-m immediate stop");
  EXPECT_EQ(e2e::WaitCli(pid), 3) << ReadFile(dir.Entry("stop.out"));
  EXPECT_NE(ReadFile(dir.Entry("stop.out")).find("the results server cannot be used: "), std::string::npos);
  ASSERT_TRUE(StartOnSocket());
  ASSERT_TRUE(inBatch && stopped);
  const int64_t kept = ServerCount("SELECT count(*) FROM results");
  EXPECT_EQ(kept % static_cast<int64_t>(jobs::kSyncBatch), 0) << kept;  // the batch in flight was rolled back whole
  EXPECT_LT(kept, 6000);

  const CliRun second = Sync(storeA);
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 6000);
  EXPECT_EQ(ServerCount("SELECT count(DISTINCT uuid) FROM results"), 6000);
  EXPECT_EQ(Lines(Cli(storeA, {"--server", server, "job", "list"}).out), Lines(Cli(storeA, {"job", "list"}).out));
}

TEST_F(TeamServer, TwentyConcurrentSyncsLoseAndDoubleNothing) {
  FillStore(storeA, "East", 100);
  FillStore(storeB, "West", 100);
  std::vector<pid_t> pids;
  for (int i = 0; i < 20; ++i) {
    const int out = ::open(dir.Entry("sync" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                           0600);
    pids.push_back(e2e::StartCli({"--store", i % 2 ? storeB : storeA, "--server", server, "job", "sync"}, out, out));
    ::close(out);
  }
  int64_t sent = 0;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(e2e::WaitCli(pids[static_cast<size_t>(i)]), 0) << ReadFile(dir.Entry("sync" + std::to_string(i)));
    sent += std::atoll(ReadFile(dir.Entry("sync" + std::to_string(i))).substr(5).c_str());
  }
  EXPECT_EQ(sent, 400);  // each result reported sent by exactly one sync
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 400);
  EXPECT_EQ(ServerCount("SELECT count(DISTINCT uuid) FROM results"), 400);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM jobs"), 2);
}

TEST_F(TeamServer, NamesHoldingQuotesAndSqlArriveAsTyped) {
  const std::string name = "O'Brien \"B\"; DROP TABLE results; --";
  FillStore(storeA, name, 2, "'); DELETE FROM points; --");
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const CliRun shown = Cli(storeA, {"--server", server, "job", "show", name});
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(shown.out, Cli(storeA, {"job", "show", name}).out);
  EXPECT_EQ(Lines(shown.out).at(1).rfind("'); DELETE FROM points; --1\t1310\t", 0), 0u);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 4);
}

// The report's text as pdftotext reads it, without the time it was printed.
std::string ReportText(const std::string& pdf) {
  std::string text;
  FILE* p = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
  for (char buf[4096]; size_t n = std::fread(buf, 1, sizeof buf, p);) text.append(buf, n);
  ::pclose(p);
  return std::regex_replace(text, std::regex("Printed: *\\S+"), "Printed:");
}

TEST_F(TeamServer, AReportFromTheServerEqualsTheReportFromTheLocalStore) {
  FillStore(storeA, "Street 5", 3);
  {
    jobs::SqliteStore store(storeA);
    jobs::Result again = jobs::ResultOf(*store.FindJob("Street 5"), "P2", 1310, {-31.0}, 1765000100);
    store.AddResult("Street 5", again);
    store.RemovePoint("Street 5", "P3");
  }
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const CliRun local = Cli(storeA, {"job", "report", "Street 5", dir.Entry("local.pdf")});
  const CliRun remote =
      Cli(dir.Entry("none.sqlite"), {"--server", server, "job", "report", "Street 5", dir.Entry("server.pdf")});
  ASSERT_EQ(local.exitCode, 0) << local.err;
  ASSERT_EQ(remote.exitCode, 0) << remote.err;
  const std::string text = ReportText(dir.Entry("local.pdf"));
  EXPECT_NE(text.find("FAIL 1"), std::string::npos) << text;  // P2's capture again is the one reported
  EXPECT_EQ(ReportText(dir.Entry("server.pdf")), text);
  EXPECT_FALSE(std::filesystem::exists(dir.Entry("none.sqlite")));
}

// config.ini beside the programs, restored afterwards.
class ConfigIni {
 public:
  explicit ConfigIni(const std::string& content) : m_previous(ReadFile(lang::ConfigPath())) { Write(content); }
  ~ConfigIni() { Write(m_previous); }

 private:
  static void Write(const std::string& content) { std::ofstream(lang::ConfigPath(), std::ios::binary) << content; }
  std::string m_previous;
};

TEST_F(TeamServer, ASyncGoesToTheFlagElseTheEnvironmentElseTheSettings) {
  FillStore(storeA, "J", 1);
  for (const char* name : {"t_settings", "t_environment", "t_flag"}) MakeDatabase(name);
  const ConfigIni config("[config]\r\nlanguage=1\r\nserver=" + Url("t_settings") + "\r\n");
  struct Case {
    const char* environment;  // nullptr: unset
    const char* flag;         // nullptr: no --server
    const char* receiver;
  };
  const Case cases[] = {{nullptr, nullptr, "t_settings"}, {"t_environment", nullptr, "t_environment"},
                        {"t_environment", "t_flag", "t_flag"}};
  for (const Case& c : cases) {
    if (c.environment) ::setenv("KM360R_SERVER", Url(c.environment).c_str(), 1);
    std::vector<std::string> args = {"--store", storeA};
    if (c.flag) args.insert(args.end(), {"--server", Url(c.flag)});
    args.insert(args.end(), {"job", "sync"});
    const CliRun run = e2e::RunCli(dir, args);
    ::unsetenv("KM360R_SERVER");
    EXPECT_EQ(run.out, "sent 2 results, 0 already there\n") << c.receiver << ": " << run.err;
    jobs::pg::Connection receiver(Url(c.receiver));
    EXPECT_EQ(receiver.Query("SELECT count(*) FROM results").Int(0, 0), 2) << c.receiver;
  }
  // Reads follow a server named for the run only: the settings' server is where syncs go.
  const CliRun listed = e2e::RunCli(dir, {"--store", storeA, "job", "list"});
  EXPECT_EQ(Lines(listed.out).size(), 1u) << listed.err;
}

// A free port on the loopback address, for the one test that needs TCP.
int FreeLoopbackPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
  ::close(s);
  return ntohs(a.sin_port);
}

TEST_F(TeamServer, AServerThatRequiresTlsIsSyncedOverTls) {
  FillStore(storeA, "J", 2);
  const std::string pgpass = dir.Entry("pgpass");
  {
    std::ofstream(pgpass) << "*:*:*:km360r_pw:right\n";
    std::filesystem::permissions(pgpass, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  // TLS needs TCP: the server listens on the loopback address for this test
  // only, where pg_hba.conf admits hostssl and nothing else.
  const std::string port = std::to_string(FreeLoopbackPort());
  ASSERT_TRUE(PgCtl("-m fast stop"));
  struct Restore {
    ~Restore() { PgCtl("-m fast stop"), StartOnSocket(); }
  } restore;
  ASSERT_TRUE(PgCtl("-w -o \"-k " + Env("KM360R_TEST_SOCKET") + " -h 127.0.0.1 -p " + port + "\" start"));
  ::setenv("PGPASSFILE", pgpass.c_str(), 1);
  const std::string url = "postgresql://km360r_pw@127.0.0.1:" + port + "/" + database + "?sslmode=";
  const CliRun plain = Cli(storeA, {"--server", url + "disable", "job", "sync"});
  EXPECT_EQ(plain.exitCode, 3);
  EXPECT_NE(plain.err.find("no encryption"), std::string::npos) << plain.err;
  const CliRun tls = Cli(storeA, {"--server", url + "require", "job", "sync"});
  EXPECT_EQ(tls.out, "sent 4 results, 0 already there\n") << tls.err;
  ::unsetenv("PGPASSFILE");
}

TEST_F(TeamServer, AServerThatCannotBeUsedExitsThreeAndLeavesTheStoreAsItWas) {
  FillStore(storeA, "Kept", 2);
  const std::string before = ReadFile(storeA);
  const std::string pgpass = dir.Entry("pgpass");
  {
    std::ofstream(pgpass) << "*:*:*:km360r_pw:right\n";
    std::filesystem::permissions(pgpass, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  ::setenv("PGPASSFILE", pgpass.c_str(), 1);
  struct Case {
    std::string what, url, message;
  };
  const Case cases[] = {
      {"no server", "postgresql:///" + database + "?host=" + dir.Path(), "No such file or directory"},
      {"wrong password", "postgresql://km360r_pw:wrong@/" + database + "?host=" + Env("KM360R_TEST_SOCKET"),
       "password authentication failed"},
      {"no such database", Url("nowhere"), "database \"nowhere\" does not exist"},
  };
  for (const Case& c : cases) {
    const CliRun run = Cli(storeA, {"--server", c.url, "job", "sync"});
    EXPECT_EQ(run.exitCode, 3) << c.what;
    EXPECT_NE(run.err.find("km360r-cli: the results server cannot be used: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    EXPECT_EQ(ReadFile(storeA), before) << c.what;
    EXPECT_FALSE(std::filesystem::exists(storeA + "-wal")) << c.what;
  }
  // In the window's language: Chinese for language 0.
  const CliRun chinese = e2e::RunCli(dir, {"--language", "0", "--store", storeA, "--server", cases[0].url, "job", "sync"});
  EXPECT_EQ(chinese.exitCode, 3);
  EXPECT_EQ(chinese.err.rfind("km360r-cli: 无法使用结果服务器：", 0), 0u) << chinese.err;
  EXPECT_EQ(ReadFile(storeA), before);
  // The password comes from PGPASSFILE, never from the program.
  const CliRun fromPgpass = Cli(storeA, {"--server", Url(database, "km360r_pw"), "job", "sync"});
  EXPECT_EQ(fromPgpass.out, "sent 4 results, 0 already there\n") << fromPgpass.err;
  ::unsetenv("PGPASSFILE");
}

TEST_F(TeamServer, AServerWithNewerOrForeignTablesIsRefusedAndLeftAlone) {
  FillStore(storeA, "J", 1);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const struct {
    int version;
    const char* message;
  } cases[] = {{99, "newer version of the program (server version 99"},
               {-1, "its tables were not made by this program (server version -1)"}};
  for (const auto& c : cases) {
    jobs::pg::Connection(server).Execute("UPDATE km360r_schema SET version = " + std::to_string(c.version));
    for (const char* command : {"list", "sync"}) {
      const CliRun refused = Cli(storeA, {"--server", server, "job", command});
      EXPECT_EQ(refused.exitCode, 3) << command;
      EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
    }
    EXPECT_EQ(ServerCount("SELECT version FROM km360r_schema"), c.version);
    EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 2);
  }
}

TEST_F(TeamServer, TwoCopiesOfAStoreEachAddTheirOwnPointAndRelabelNone) {
  FillStore(storeA, "Street 5", 2);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  std::filesystem::copy_file(storeA, storeB);
  for (const auto& [store, label] : {std::pair{storeA, "FLOOR1-A"}, std::pair{storeB, "FLOOR9-Z"}}) {
    jobs::SqliteStore copy(store);
    copy.AddPoints("Street 5", {label});
    jobs::Result r = jobs::ResultOf(*copy.FindJob("Street 5"), label, 1310, {-21.0}, 1765000200);
    copy.AddResult("Street 5", r);
  }
  EXPECT_EQ(Sync(storeA).out, "sent 1 results, 0 already there\n");
  EXPECT_EQ(Sync(storeB).out, "sent 1 results, 0 already there\n");
  const std::vector<std::string> shown = Lines(Cli(storeA, {"--server", server, "job", "show", "Street 5"}).out);
  ASSERT_EQ(shown.size(), 7u);  // the header, P1 and P2 at two wavelengths, then each copy's point
  EXPECT_EQ(shown[5].rfind("FLOOR1-A\t1310\t-21.00\t", 0), 0u) << shown[5];
  EXPECT_EQ(shown[6].rfind("FLOOR9-Z\t1310\t-21.00\t", 0), 0u) << shown[6];
}

TEST_F(TeamServer, APointTheServerHoldsUnderALabelThisStoreDidNotSendIsRefusedAndTheRestGoes) {
  FillStore(storeA, "Street 5", 2);
  std::filesystem::copy_file(storeA, storeB);  // before any sync: the same points in both
  ASSERT_EQ(Cli(storeA, {"job", "points", "Street 5", "rename", "P2", "FLOOR1-A"}).exitCode, 0);
  ASSERT_EQ(Cli(storeB, {"job", "points", "Street 5", "rename", "P2", "FLOOR9-Z"}).exitCode, 0);
  FillStore(storeB, "Other", 1);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  for (int again = 0; again < 2; ++again) {  // the refusal blocks nothing else, each time
    const CliRun second = Sync(storeB);
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_EQ(second.out, again ? "sent 0 results, 0 already there\n" : "sent 2 results, 2 already there\n");
    EXPECT_EQ(second.err,
              "km360r-cli: the point FLOOR9-Z of the job Street 5 was not sent: the server holds that point under "
              "the label FLOOR1-A, which it did not get from this store\n");
  }
  EXPECT_EQ(ServerCount("SELECT count(*) FROM points WHERE label = 'FLOOR1-A'"), 1);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM points WHERE label = 'FLOOR9-Z'"), 0);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results"), 6);
}

TEST_F(TeamServer, RenamesSwapsAndRemovalsSyncAndTheServerShowsAndCountsAsTheStore) {
  using Edit = std::vector<std::string>;
  const struct {
    const char* job;
    std::vector<Edit> edits;
    const char* after;  // the job's name after the edits
  } cases[] = {
      {"Swap", {{"points", "Swap", "rename", "P1", "TMP"}, {"points", "Swap", "rename", "P2", "P1"},
                {"points", "Swap", "rename", "TMP", "P2"}}, "Swap"},
      {"Remove", {{"points", "Remove", "remove", "P2"}, {"points", "Remove", "rename", "P1", "P2"}}, "Remove"},
      {"Renamed", {{"rename", "Renamed", "Moved"}}, "Moved"},
  };
  for (const auto& c : cases) FillStore(storeA, c.job, 3);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  for (const auto& c : cases) {
    for (Edit edit : c.edits) {
      edit.insert(edit.begin(), "job");
      ASSERT_EQ(Cli(storeA, edit).exitCode, 0) << c.job;
    }
  }
  const CliRun again = Sync(storeA);
  EXPECT_EQ(again.exitCode, 0) << again.err;
  for (const auto& c : cases) {
    EXPECT_EQ(Cli(storeA, {"--server", server, "job", "show", c.after}).out, Cli(storeA, {"job", "show", c.after}).out)
        << c.job;
  }
  // The same jobs with the same counts (a server lists them in the order it got them).
  std::vector<std::string> remote = Lines(Cli(storeA, {"--server", server, "job", "list"}).out);
  std::vector<std::string> local = Lines(Cli(storeA, {"job", "list"}).out);
  std::sort(remote.begin(), remote.end());
  std::sort(local.begin(), local.end());
  EXPECT_EQ(remote, local);
}

TEST_F(TeamServer, AJobTheServerRefusesIsNamedAndHoldsBackNoOther) {
  const struct {
    const char* job;
    std::function<void(const std::string& store)> spoil;
    const char* reason;
    std::vector<std::string> mend;
  } cases[] = {
      {"Street 5",
       [this](const std::string&) {
         FillStore(storeB, "Street 5", 1);  // another job of the same name, on the server first
         ASSERT_EQ(Sync(storeB).exitCode, 0);
       },
       "the job Street 5 was not sent: the server holds another job named Street 5; rename the job here and sync "
       "again",
       {"job", "rename", "Street 5", "Street 5a"}},
      {"Long",
       [](const std::string& store) {  // a label written before labels were checked at the door
         jobs::sql::Connection(store, jobs::sql::Connection::Mode::ReadWrite)
             .Execute("UPDATE points SET label = '" + std::string(3000, 'L') + "' WHERE label = 'P1'");
       },
       "the job Long was not sent: a point's label holds at most 64 characters (3000 given)",
       {"job", "points", "Long", "rename", std::string(3000, 'L'), "P1"}},
  };
  for (const auto& c : cases) {
    const std::string store = dir.Entry(std::string(c.job) + ".sqlite");
    FillStore(store, c.job, 1);
    FillStore(store, "Other " + std::string(c.job), 1, "Q");
    c.spoil(store);
    const CliRun refused = Sync(store);
    EXPECT_EQ(refused.exitCode, 3) << c.job;
    EXPECT_EQ(refused.out, "sent 2 results, 0 already there\n") << c.job;
    EXPECT_EQ(refused.err, "km360r-cli: " + std::string(c.reason) + "\n");
    ASSERT_EQ(Cli(store, c.mend).exitCode, 0) << c.job;
    const CliRun mended = Sync(store);
    EXPECT_EQ(mended.exitCode, 0) << mended.err;
    EXPECT_EQ(mended.out, "sent 2 results, 0 already there\n") << c.job;
  }
}

TEST_F(TeamServer, AStoreAndAServerOfTheEarlierVersionMigratedEachOnItsOwnStillShareTheirPoints) {
  FillStore(storeA, "Street 5", 3);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  // Both back to the earlier tables, where a point was known by its job and position.
  const std::string earlier =
      "DROP INDEX points_uuid; DROP INDEX points_order; ALTER TABLE points DROP COLUMN uuid; "
      "ALTER TABLE points DROP COLUMN acked_label; CREATE UNIQUE INDEX points_position ON points (job_id, position);"
      "ALTER TABLE results DROP COLUMN first_reading_at; ALTER TABLE results DROP COLUMN last_reading_at;";
  jobs::sql::Connection(storeA, jobs::sql::Connection::Mode::ReadWrite).Execute(earlier + "PRAGMA user_version = 4");
  jobs::pg::Connection(server).Execute(earlier + "UPDATE km360r_schema SET version = 4");
  // Reading never migrates: the office is told to sync first.
  const CliRun read = Cli(dir.Entry("none.sqlite"), {"--server", server, "job", "list"});
  EXPECT_EQ(read.exitCode, 3);
  EXPECT_NE(read.err.find("made by an older version of the program (server version 4)"), std::string::npos)
      << read.err;
  {
    jobs::SqliteStore store(storeA);  // migrated here
    jobs::Result again = jobs::ResultOf(*store.FindJob("Street 5"), "P2", 1310, {-31.0}, 1765000100);
    store.AddResult("Street 5", again);
  }
  EXPECT_EQ(Sync(storeA).out, "sent 1 results, 1 already there\n");
  EXPECT_EQ(ServerCount("SELECT version FROM km360r_schema"), 5);
  EXPECT_EQ(ServerCount("SELECT count(*) FROM points"), 3);  // each found again, none added
  EXPECT_EQ(Cli(storeA, {"--server", server, "job", "show", "Street 5"}).out, Cli(storeA, {"job", "show", "Street 5"}).out);
}

TEST_F(TeamServer, AnAccountThatOnlyReadsListsAndShowsAndWritesNothing) {
  const std::string none = dir.Entry("none.sqlite");
  // Before any sync the server holds nothing to read: said so, and no table is made.
  const CliRun empty = Cli(none, {"--server", server, "job", "list"});
  EXPECT_EQ(empty.exitCode, 3);
  EXPECT_NE(empty.err.find("it holds no results yet"), std::string::npos) << empty.err;
  EXPECT_EQ(ServerCount("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), 0);

  FillStore(storeA, "Street 5", 2);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  jobs::pg::Connection(Env("KM360R_TEST_SERVER"))
      .Execute("DO $$BEGIN CREATE ROLE km360r_reader LOGIN PASSWORD 'read'; "
               "EXCEPTION WHEN duplicate_object THEN NULL; END$$");
  jobs::pg::Connection(server).Execute("GRANT SELECT ON ALL TABLES IN SCHEMA public TO km360r_reader");
  const std::string pgpass = dir.Entry("pgpass");
  {
    std::ofstream(pgpass) << "*:*:*:km360r_reader:read\n";
    std::filesystem::permissions(pgpass, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  ::setenv("PGPASSFILE", pgpass.c_str(), 1);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"job", "list"}, std::vector<std::string>{"job", "show", "Street 5"}}) {
    std::vector<std::string> remote = {"--server", Url(database, "km360r_reader")};
    remote.insert(remote.end(), command.begin(), command.end());
    const CliRun read = Cli(none, remote);
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(read.out, Cli(storeA, command).out);
  }
  ::unsetenv("PGPASSFILE");
  EXPECT_FALSE(std::filesystem::exists(none));
}

// A job report read from the server beyond the user's file size limit: the
// write fails, the earlier file stays whole and nothing is left beside it.
TEST_F(TeamServer, AJobReportFromTheServerBeyondTheFileSizeLimitKeepsTheEarlierFile) {
  FillStore(storeA, "J", 40);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const std::string out = dir.Entry("kept.pdf");
  std::ofstream(out) << "earlier";
  const auto entries = [&] {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.insert(e.path().filename().string());
    return names;
  };
  const std::set<std::string> before = entries();
  const CliRun run = e2e::RunCli(dir, {"--language", "1", "--server", server, "job", "report", "J", out}, {}, {}, 4096);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_TRUE(ReadFile(out) == "earlier");
  EXPECT_EQ(entries(), before);
}

// A local store that cannot be looked at ends a sync with the reason.
TEST_F(TeamServer, ASyncFromAStoreThatCannotBeOpenedSaysWhy) {
  const std::string loop = dir.Entry("loop.sqlite");
  std::filesystem::create_symlink(loop, loop);
  const CliRun run = Sync(loop);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find("loop.sqlite: cannot be opened: Too many levels of symbolic links"), std::string::npos)
      << run.err;
}

// A value on the server that no result may hold is refused, not shown.
TEST_F(TeamServer, AValueOutOfBoundsOnTheServerIsRefused) {
  FillStore(storeA, "J", 1);
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const struct {
    const char* edit;
    const char* undo;
    const char* message;
  } cases[] = {
      {"UPDATE results SET power_dbm = 1e300", "UPDATE results SET power_dbm = -20", "power_dbm 1e+300 is not"},
      {"UPDATE results SET verdict = 'OK'", "UPDATE results SET verdict = 'PASS'", "verdict \"OK\" is none of"},
      {"UPDATE results SET first_reading_at = 'noon', last_reading_at = 'one'",
       "UPDATE results SET first_reading_at = NULL, last_reading_at = NULL",
       "first_reading_at \"noon\" is not a local time"},
  };
  for (const auto& c : cases) {
    jobs::pg::Connection(server).Execute(c.edit);
    const CliRun run = Cli(storeA, {"--server", server, "job", "show", "J"});
    EXPECT_EQ(run.exitCode, 3) << c.edit;
    EXPECT_NE(run.err.find("the point P1 in the job J: " + std::string(c.message)), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << c.edit;
    jobs::pg::Connection(server).Execute(c.undo);
  }
}

TEST_F(TeamServer, TheServerKeepsWhenEachResultsFirstAndLastReadingArrived) {
  FillStore(storeA, "J", 2);  // results whose readings' times are unknown
  {
    jobs::SqliteStore store(storeA);
    const jobs::CaptureInput input{1310, {-21.0, -21.2}, {}, 1765000098250, 1765000099000};
    jobs::Result r = jobs::ResultOf(*store.FindJob("J"), "P2", input, 1765000100);
    store.AddResult("J", r);
  }
  ASSERT_EQ(Sync(storeA).exitCode, 0);
  const std::vector<jobs::Result> local = jobs::SqliteStore(storeA).LatestResults("J");
  const std::vector<jobs::Result> remote = jobs::PgStore(server, jobs::PgStore::Access::Read).LatestResults("J");
  ASSERT_EQ(remote.size(), local.size());
  for (size_t i = 0; i < local.size(); ++i) {
    EXPECT_EQ(remote[i].firstReadingAt, local[i].firstReadingAt) << i;
    EXPECT_EQ(remote[i].lastReadingAt, local[i].lastReadingAt) << i;
  }
  EXPECT_EQ(local.at(2).lastReadingAt, field::IsoLocalTimeMs(1765000099000));  // P2 at 1310 nm
  EXPECT_EQ(ServerCount("SELECT count(*) FROM results WHERE first_reading_at IS NULL"), 4);
}

}  // namespace
