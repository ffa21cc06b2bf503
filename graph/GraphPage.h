#pragma once
// The graph page's bookkeeping: the live values of real-time reading and the
// values of an opened real-time file, drawn one chart row per value, with the
// status line above the chart. It carries out the page's redraw, update,
// clear and paint steps on a ChartModel; the page window draws the model and
// does what needs a screen (repaint, the frame's picture, the status control)
// through IGraphWindow. The command-line companion keeps one without a window.
#include <array>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "graph/ChartModel.h"

// What the page asks of its window. Without one (or where one is not
// given) the bookkeeping runs alone.
struct GraphWindow {
  // Redraws the chart now (or, while its drawing is stopped, once it draws again).
  std::function<void()> refreshChart;
  // Stops and restarts the chart's drawing around a value update.
  std::function<void(bool on)> setChartRedraw;
  // Shows the chart's current picture in the frame over the chart, raising
  // it; or hides the frame, so the chart itself is seen.
  std::function<void(bool showFrame)> snapshot;
  std::function<void(const std::string& text)> showStatus;
};

// The page's texts (UTF-8), by language.
struct GraphTexts {
  std::string m_strAxisX;
  std::string m_strTimeLabel;
  std::string m_strDurationLabel;
  std::string m_strPowerLabel;
  // Empty texts when the language value names no language.
  static GraphTexts For(const std::string& languageValue);
};

class GraphPage {
 public:
  static constexpr int kMaxFileValues = 1000;
  static constexpr int kNoValue = -1000;  // an entry without a value; ends a file's points
  static constexpr int kMinRows = 300;
  static constexpr int kMaxRows = 1000;
  static constexpr const char* kValueAxisTitle = "Logarithm power (dBm)";
  static constexpr const char* kFileCaption = "Current Open file:   ";

  GraphPage();

  // The window's initialisation: the texts of the language, the chart's
  // set-up, and a redraw that leaves every row empty.
  void Initialise(const std::string& languageValue);
  void SetWindow(GraphWindow window) { m_window = std::move(window); }
  // How the page reads the local clock (tests give it a fixed one).
  void SetClock(std::function<std::tm()> clock) { m_clock = std::move(clock); }
  // Posts a clear of this page; a full live graph asks for one.
  void SetClearPoster(std::function<void()> post) { m_postClear = std::move(post); }

  // Real-time reading starts: file mode ends, an empty status line, 300
  // rows, the next value goes to row 1.
  void StartLive();
  // A data file was opened: until the page is painted during real-time
  // reading, every redraw draws the file's values and names it.
  void SetOpenedFile(const std::string& path);
  // An opened real-time file's whole-dBm values, in file order: the first
  // 1000 are kept, the rest of the thousand entries are empty, and the chart
  // gets as many rows as values (at least 300).
  void SetFileValues(const std::vector<int>& values);

  // A live value to draw: the whole dBm of a real-time
  // record, as the meter model read it (meter::Measurement::plotDbm).
  void OnGraphValue(int wholeDbm);
  // The same with the value's text (six bytes of a real-time record).
  void OnGraphUpdate(const std::string& valueText);
  // A redraw after an opened file (the latest live value stays).
  void OnGraphUpdate();
  // The posted clear: the chart is wiped.
  void OnGraphClear();
  // The window is painted; realTime: real-time reading runs.
  void OnPaint(bool realTime);

  const ChartModel& Chart() const { return m_chart; }
  const GraphTexts& Texts() const { return m_texts; }
  int RowCount() const { return m_nRowCount; }
  int NextRow() const { return m_nNextRow; }
  int Value() const { return m_nValue; }
  bool FileOpened() const { return m_bFileOpened; }
  const std::string& Status() const { return m_strStatus; }
  const std::array<int, kMaxFileValues>& FileValues() const { return m_anFileValues; }

 private:
  void Redraw();
  void LabelRow(int row);
  void SetLiveStatus();
  void Refresh();
  void ShowStatus();
  void SetRedraw(bool on);
  void Snapshot(bool showFrame);

  ChartModel m_chart;
  GraphTexts m_texts;
  std::array<int, kMaxFileValues> m_anFileValues;
  int m_nRowCount = kMinRows;
  int m_nNextRow = 1;
  int m_nValue = 0;
  int m_nSeconds = 0;
  int m_nMinutes = 0;
  bool m_bClearing = true;
  bool m_bFileOpened = false;
  std::string m_strFilePath;
  int m_nGraphValue = 0;  // the latest live value
  std::string m_strStatus;
  std::tm m_time{};  // the local time at the last redraw

  GraphWindow m_window;
  std::function<std::tm()> m_clock;
  std::function<void()> m_postClear;
};
