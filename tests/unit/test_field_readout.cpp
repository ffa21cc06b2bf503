// The field readout: statistics, relative values, verdicts and the live log.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>

#include "field/LiveFeed.h"
#include "field/LiveLog.h"
#include "field/Readout.h"

namespace {

// A real-time reading as the meter's record gives it.
meter::Reading ReadingOf(std::string_view logPower, std::string_view wavelength = "1310") {
  meter::Reading r;
  r.wavelength = wavelength;
  r.linearPower = "10.00uW";
  r.logPower = logPower;
  r.meterTime = "26/12/07 10:00:00";
  return r;
}

TEST(FieldStatistics, MinMaxSpanAndTheMeanOfTheLinearPowers) {
  field::Readout readout;
  for (const char* v : {"-20.00", "-21.00", "-19.50", "--.--", "-30.00"}) readout.Add(ReadingOf(v));
  const field::Statistics& s = readout.Stats();
  // The reading without a number is counted nowhere.
  EXPECT_EQ(s.Count(), 4);
  double milliwatts = 0;
  for (double dbm : {-20.0, -21.0, -19.5, -30.0}) milliwatts += std::pow(10.0, dbm / 10.0);
  const double mean = 10.0 * std::log10(milliwatts / 4);
  EXPECT_EQ(field::FormatTwoDecimals(mean), "-21.23");
  EXPECT_EQ(s.SummaryLine(), "count 4  min -30.00 dBm  max -19.50 dBm  mean " +
                                 field::FormatTwoDecimals(mean) + " dBm  span 10.50 dB");
}

TEST(FieldReadout, RelativeValueAndVerdictAgainstAReference) {
  field::Readout readout;
  readout.SetReference(-20.0);
  field::Limits limits;
  limits.relative = field::Window{-3, 1};
  readout.SetLimits(limits);
  struct Case {
    const char* reading;
    const char* relative;
    field::Verdict verdict;
  };
  const Case cases[] = {
      {"-21.00", "-1.00", field::Verdict::Pass},
      {"-19.50", "+0.50", field::Verdict::Pass},
      {"-23.00", "-3.00", field::Verdict::Pass},  // the limit itself passes
      {"-30.00", "-10.00", field::Verdict::Fail},
      {"-20.00", "+0.00", field::Verdict::Pass},
  };
  for (const Case& c : cases) {
    const field::Row& row = readout.Add(ReadingOf(c.reading));
    ASSERT_TRUE(row.relative) << c.reading;
    EXPECT_EQ(field::FormatSigned(*row.relative), c.relative) << c.reading;
    EXPECT_EQ(row.verdict, c.verdict) << c.reading;
  }
  EXPECT_TRUE(readout.AnyFailed());
  readout.Restart();
  EXPECT_FALSE(readout.AnyFailed());
}

TEST(FieldReadout, LimitsPerWavelengthWithoutAReference) {
  field::Readout readout;
  readout.SetLimits(field::Limits::PonPresets());
  struct Case {
    const char* wavelength;
    const char* reading;
    field::Verdict verdict;
  };
  const Case cases[] = {
      {"1490", "-27.00", field::Verdict::Pass},
      {"1490", "-27.01", field::Verdict::Fail},
      {"1550", "-10.00", field::Verdict::Fail},
      {"1310", "-28.00", field::Verdict::Pass},
      {"850 ", "-35.00", field::Verdict::None},  // no limits for this wavelength
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readout.Add(ReadingOf(c.reading, c.wavelength)).verdict, c.verdict)
        << c.wavelength << " " << c.reading;
  }
}

TEST(FieldReadout, NumbersAreReadStrictly) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {{"-20.00", -20.0}, {" -3.5 ", -3.5}, {"+1", 1.0}, {"--.--", {}},
                        {"-", {}},         {"LOW", {}},      {"-20.00dB", {}}, {"", {}}};
  for (const Case& c : cases) EXPECT_EQ(field::ParseNumber(c.text), c.value) << c.text;
  // More digits than a double holds: infinite or zero, never the 0 of a
  // failed conversion; a dB value is finite and within +-200.
  const std::string huge(400, '9'), negative = "-" + huge, tiny = "0." + std::string(400, '0') + "1";
  const double inf = std::numeric_limits<double>::infinity();
  const Case far[] = {{huge.c_str(), inf}, {negative.c_str(), -inf}, {tiny.c_str(), 0.0}};
  for (const Case& c : far) EXPECT_EQ(field::ParseNumber(c.text), c.value) << c.text;
  const Case decibels[] = {{"-200", -200.0}, {"200.00", 200.0}, {"200.01", {}}, {huge.c_str(), {}}};
  for (const Case& c : decibels) EXPECT_EQ(field::ParseDecibels(c.text), c.value) << c.text;
}

TEST(FieldReadout, AnyFiniteValuePrintsAsItself) {
  for (double v : {1e17, -9.3e18, 1e300, -std::numeric_limits<double>::max()}) {
    EXPECT_EQ(std::strtod(field::FormatTwoDecimals(v).c_str(), nullptr), v) << field::FormatTwoDecimals(v);
  }
  EXPECT_EQ(field::FormatTwoDecimals(-0.004), "0.00");
}

TEST(FieldLog, LocalTimeWithOffset) {
  const char* saved = std::getenv("TZ");
  const std::string old = saved ? saved : "";
  setenv("TZ", "XST+3:30", 1);
  tzset();
  EXPECT_EQ(field::IsoLocalTime(1796645628), "2026-12-07T08:43:48-03:30");
  EXPECT_EQ(field::IsoLocalTimeMs(1796645628050), "2026-12-07T08:43:48.050-03:30");
  setenv("TZ", "CST-8", 1);
  tzset();
  EXPECT_EQ(field::IsoLocalTime(1796645628), "2026-12-07T20:13:48+08:00");
  EXPECT_EQ(field::IsoLocalTimeMs(-1), "1970-01-01T07:59:59.999+08:00");  // the second it belongs to
  if (saved) setenv("TZ", old.c_str(), 1); else unsetenv("TZ");
  tzset();
}

class FieldLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() / ("field-log-" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
    m_path = (m_dir / "log.csv").string();
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::string Content() const {
    std::ifstream in(m_path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path m_dir;
  std::string m_path;
};

TEST_F(FieldLogFile, HeaderOnlyInANewFileAndACutLineIsClosedFirst) {
  const field::LogColumns columns{true, true};
  field::Readout readout;
  readout.SetReference(-20.0);
  std::string error;
  {
    auto log = field::LiveLog::Open(m_path, columns, error);
    ASSERT_TRUE(log) << error;
    ASSERT_TRUE(log->Append(readout.Add(ReadingOf("-21.00")), 0));
  }
  std::ofstream(m_path, std::ios::app) << "1970-01-01T00:00:00+00:00,13";  // cut short
  {
    auto log = field::LiveLog::Open(m_path, columns, error);
    ASSERT_TRUE(log) << error;
    // Without a number the meter's text is kept.
    ASSERT_TRUE(log->Append(readout.Add(ReadingOf("--.--")), 0));
  }
  const std::string t = field::IsoLocalTime(0);
  EXPECT_EQ(Content(), "time,wavelength_nm,power_dbm,linear_power,relative_db,result\n" + t +
                           ",1310,-21.00,10.00uW,-1.00,\n1970-01-01T00:00:00+00:00,13\n" + t +
                           ",1310,--.--,10.00uW,,\n");
}

TEST_F(FieldLogFile, AFileThatCannotBeOpenedSaysWhy) {
  const std::string fifo = (m_dir / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string other = (m_dir / "other.csv").string();
  const std::string earlierRun = "time,wavelength_nm,power_dbm,linear_power\n2026-12-07T10:00:00+00:00,1310,-20.00,1uW\n";
  std::ofstream(other) << earlierRun;
  const struct {
    std::string path;
    std::string error;
    field::LogRefusal refusal;
  } cases[] = {
      {(m_dir / "missing" / "log.csv").string(), "No such file or directory", field::LogRefusal::CannotOpen},
      // A named pipe would hold the run until a reader came.
      {fifo, "not a regular file", field::LogRefusal::CannotOpen},
      {"/dev/null", "not a regular file", field::LogRefusal::CannotOpen},
      // Rows of six cells under a header of four would be read wrongly.
      {other, "its first line is not the log's header time,wavelength_nm,power_dbm,linear_power,relative_db,result",
       field::LogRefusal::OtherHeader},
  };
  for (const auto& c : cases) {
    std::string error;
    field::LogRefusal refusal = field::LogRefusal::None;
    EXPECT_FALSE(field::LiveLog::Open(c.path, field::kAllLogColumns, error, &refusal)) << c.path;
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(refusal, c.refusal) << c.path;
  }
  std::ifstream kept(other);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), earlierRun);
}

TEST_F(FieldLogFile, ARowThatCannotBeWrittenIsToldAndTheLogMayBeStoppedThere) {
  field::LiveFeed feed;
  std::string error;
  ASSERT_TRUE(feed.StartLog(m_path, {}, error)) << error;
  std::vector<std::string> told;
  feed.SetLogFailureListener([&](const std::string& reason) {
    feed.StopLog();
    told.push_back(reason);
  });
  // A disk that is full after a few more bytes.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = std::filesystem::file_size(m_path) + 10;
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  feed.Take(ReadingOf("-20.00"), 0);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(told, std::vector<std::string>{"File too large"});
  EXPECT_FALSE(feed.Logging());
  EXPECT_TRUE(feed.LogFailed());
}

TEST_F(FieldLogFile, ARowTheFullDiskTookInPartIsCutOffAndTheNextRowStartsItsOwnLine) {
  field::LiveFeed feed;
  std::string error;
  ASSERT_TRUE(feed.StartLog(m_path, field::kAllLogColumns, error)) << error;
  feed.Take(ReadingOf("-20.00"), 0);
  const std::string before = Content();
  int told = 0;
  feed.SetLogFailureListener([&](const std::string&) { ++told; });
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = before.size() + 10;  // room for the start of one more row
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  feed.Take(ReadingOf("-21.00"), 0);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(told, 1);
  EXPECT_EQ(Content(), before);
  feed.Take(ReadingOf("-22.00"), 0);
  EXPECT_EQ(Content(), before + field::IsoLocalTime(0) + ",1310,-22.00,10.00uW,,\n");
}

TEST_F(FieldLogFile, ALogDeletedOrReplacedWhileRunningIsToldOnceAndStartedAnew) {
  const std::string header = "time,wavelength_nm,power_dbm,linear_power,relative_db,result\n";
  const std::string row = field::IsoLocalTime(0) + ",1310,-21.00,10.00uW,,\n";
  const std::string moved = (m_dir / "moved.csv").string();
  const struct {
    const char* what;
    std::function<void(const std::string&)> change;
  } cases[] = {
      {"deleted", [](const std::string& path) { std::filesystem::remove(path); }},
      {"moved away", [&](const std::string& path) { std::filesystem::rename(path, moved); }},
      {"replaced",
       [&](const std::string& path) {
         std::ofstream(moved) << "";
         std::filesystem::rename(moved, path);
       }},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(m_path);
    field::LiveFeed feed;
    std::string error;
    ASSERT_TRUE(feed.StartLog(m_path, field::kAllLogColumns, error)) << error;
    std::vector<std::string> told;
    feed.SetLogReopenedListener([&](const std::string& path) { told.push_back(path); });
    feed.SetLogFailureListener([&](const std::string& reason) { told.push_back("failed: " + reason); });
    feed.Take(ReadingOf("-20.00"), 0);
    c.change(m_path);
    feed.Take(ReadingOf("-21.00"), 0);
    feed.Take(ReadingOf("-21.00"), 0);
    EXPECT_EQ(told, std::vector<std::string>{m_path}) << c.what;
    EXPECT_EQ(Content(), header + row + row) << c.what;
  }
}

}  // namespace
