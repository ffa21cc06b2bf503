// The graph page's bookkeeping: rows, labels, the status line, the roll-over
// of the duration, the wipe of a full live graph, file mode and the paint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/GraphPage.h"

namespace {

// What the page showed through its window.
struct Window {
  bool frameShown = false;
  std::string status;
};

struct Graph {
  Graph() {
    GraphWindow shown;
    shown.snapshot = [this](bool showFrame) { window.frameShown = showFrame; };
    shown.showStatus = [this](const std::string& text) { window.status = text; };
    page.SetWindow(shown);
    page.SetClock([] {
      std::tm t{};
      t.tm_year = 2026 - 1900;
      t.tm_mon = 11;
      t.tm_mday = 7;
      t.tm_hour = 9;
      t.tm_min = 5;
      t.tm_sec = 3;
      return t;
    });
    page.SetClearPoster([this] { clearPosted = true; });
    page.Initialise("1");
  }
  // One live reading, and the clear a full graph posts to itself.
  void Read(const std::string& value = "-12.34") {
    page.OnGraphUpdate(value);
    if (clearPosted) {
      clearPosted = false;
      page.OnGraphClear();
    }
  }
  void StartLive() {
    page.StartLive();
    page.OnGraphClear();
  }
  // The table page opens a real-time file of these values.
  void OpenFile(const std::vector<int>& values) {
    page.SetOpenedFile("/data/a.ref");
    page.SetFileValues(values);
    page.OnGraphClear();
    page.OnGraphUpdate();
  }
  std::optional<double> At(int row) const { return page.Chart().RowAt(row).value; }
  int Points() const {
    int n = 0;
    for (const ChartModel::Row& row : page.Chart().Rows()) n += row.value.has_value();
    return n;
  }

  Window window;
  GraphPage page;
  bool clearPosted = false;
};

std::string Duration(const std::string& status) {
  const std::string label = "Current test time duration:";
  return status.substr(status.find(label) + label.size(), 5);
}

TEST(GraphPage, LiveReadingsGoToTheirRowsWithADurationWhoseSecondsRunFrom01To60) {
  struct Case {
    int reading;
    const char* duration;
  };
  const std::vector<Case> cases = {{1, "00:01"}, {2, "00:02"}, {60, "00:60"},
                                   {61, "01:01"}, {120, "01:60"}, {121, "02:01"}, {299, "04:59"}};
  Graph g;
  g.StartLive();
  size_t next = 0;
  for (int k = 1; k <= 299; ++k) {
    g.Read(std::to_string(-(k % 40)) + ".5");
    if (next < cases.size() && cases[next].reading == k) {
      EXPECT_EQ(Duration(g.window.status), cases[next].duration) << "reading " << k;
      EXPECT_EQ(g.At(k), -(k % 40)) << "reading " << k;
      ++next;
    }
  }
  EXPECT_EQ(g.Points(), 299);
}

TEST(GraphPage, TheStatusLineHasItsFormatInEachLanguage) {
  struct Case {
    const char* language;
    const char* status;
  };
  const std::vector<Case> cases = {
      {"1", "Current test time:2026:12:07  09:05:03           Current test time duration:00:01"
            "           Current logarithm power:-7 dBm"},
      {"0", "当前测试时间:2026:12:07  09:05:03           当前测试时长:00:01"
            "           当前对数功率:-7 dBm"},
      {"x", ":2026:12:07  09:05:03           :00:01           :-7 dBm"},
  };
  for (const Case& c : cases) {
    Graph g;
    g.page.Initialise(c.language);
    g.StartLive();
    g.Read("-7.9");
    EXPECT_EQ(g.window.status, c.status) << c.language;
    EXPECT_EQ(g.page.Status(), c.status) << c.language;
  }
}

TEST(GraphPage, ValueTextsGiveTheirLeadingWholeDbm) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"-7.9", -7}, {"-12.34", -12}, {"  3.99", 3}, {"ABCDEF", 0}, {"9ABCDE", 9}, {"", 0}};
  for (const auto& [text, dbm] : cases) {
    Graph g;
    g.StartLive();
    g.Read(text);
    EXPECT_EQ(g.At(1), dbm) << text;
  }
}

TEST(GraphPage, AFullLiveGraphDropsTheReadingWipesAllRowsAndStartsAgainAtRowOne) {
  Graph g;
  g.StartLive();
  for (int k = 1; k <= 299; ++k) g.Read();
  g.page.OnGraphUpdate("-1.00");  // reading 300
  EXPECT_TRUE(g.clearPosted);
  EXPECT_EQ(g.window.status, "");
  EXPECT_FALSE(g.At(300));
  g.clearPosted = false;
  g.page.OnGraphClear();
  EXPECT_EQ(g.Points(), 0);
  EXPECT_EQ(g.window.status, "");
  g.Read("-2.00");  // reading 301
  EXPECT_EQ(g.At(1), -2);
  EXPECT_EQ(g.Points(), 1);
  EXPECT_EQ(Duration(g.window.status), "00:01");
}

TEST(GraphPage, EveryTenthRowAndTheLastAreLabelled) {
  struct Case {
    int values;  // of an opened file; 0: live
    int rows;
  };
  for (const Case& c : std::vector<Case>{{0, 300}, {345, 345}, {1000, 1000}}) {
    Graph g;
    if (c.values > 0) g.OpenFile(std::vector<int>(static_cast<size_t>(c.values), -20));
    ASSERT_EQ(g.page.Chart().RowCount(), c.rows);
    for (int r = 1; r <= c.rows; ++r) {
      const bool labelled = r % 10 == 0 || r == c.rows;
      EXPECT_EQ(g.page.Chart().RowAt(r).label, labelled ? std::to_string(r) : " ") << r;
    }
  }
}

TEST(GraphPage, AnOpenedFileDrawsItsValuesAndEmptiesTheRowsAfterThem) {
  struct Case {
    size_t before;  // values of a file opened first; 0: live points first
    size_t values;
    int rows;
    int points;
  };
  const std::vector<Case> cases = {
      {0, 120, 300, 120}, {500, 50, 300, 50}, {0, 650, 650, 650}, {0, 1200, 1000, 1000}};
  for (const Case& c : cases) {
    Graph g;
    if (c.before > 0) {
      g.OpenFile(std::vector<int>(c.before, -30));
    } else {
      g.StartLive();
      for (int k = 0; k < 200; ++k) g.Read("-40.00");
    }
    std::vector<int> values(c.values);
    for (size_t i = 0; i < values.size(); ++i) values[i] = -static_cast<int>(i % 50);
    g.OpenFile(values);
    EXPECT_EQ(g.page.RowCount(), c.rows) << c.values;
    EXPECT_EQ(g.page.Chart().RowCount(), c.rows) << c.values;
    EXPECT_EQ(g.Points(), c.points) << c.values;
    EXPECT_EQ(g.At(c.points), -((c.points - 1) % 50)) << c.values;
    EXPECT_EQ(g.window.status, "Current Open file:   /data/a.ref") << c.values;
  }
}

TEST(GraphPage, RealTimeAfterAFileGoesBackTo300RowsAndDrawsTheLiveValuesAlone) {
  Graph g;
  g.OpenFile(std::vector<int>(650, -20));
  g.StartLive();
  EXPECT_EQ(g.page.RowCount(), 300);
  EXPECT_EQ(g.page.Chart().RowCount(), 300);
  EXPECT_EQ(g.Points(), 0);
  g.Read("-3.00");
  EXPECT_EQ(g.At(1), -3);
  EXPECT_EQ(g.Points(), 1);
  EXPECT_EQ(Duration(g.window.status), "00:01");
}

TEST(GraphPage, APaintBetweenReadingsShowsTheNextSecondAndTheLatestValueAtTheNextRow) {
  Graph g;
  g.StartLive();
  g.Read("-5.00");
  g.Read("-6.00");
  ASSERT_TRUE(g.window.frameShown);
  g.page.OnPaint(true);
  EXPECT_EQ(g.At(3), -6);
  EXPECT_EQ(Duration(g.window.status), "00:03");
  EXPECT_TRUE(g.window.frameShown);
  g.Read("-7.00");  // overwrites the repeated point
  EXPECT_EQ(g.At(3), -7);
  EXPECT_EQ(Duration(g.window.status), "00:03");
  g.page.OnPaint(false);  // reading stopped: the chart itself is seen
  EXPECT_FALSE(g.window.frameShown);
}

TEST(GraphPage, APaintDuringRealTimeEndsFileModeAndOneWithoutKeepsIt) {
  Graph g;
  g.OpenFile({-10, -11});
  g.page.OnPaint(false);
  EXPECT_TRUE(g.page.FileOpened());
  EXPECT_EQ(g.window.status, "Current Open file:   /data/a.ref");
  g.page.OnPaint(true);
  EXPECT_FALSE(g.page.FileOpened());
}

}  // namespace
