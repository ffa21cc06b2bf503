#pragma once
// The graph page's bookkeeping: the live values of real-time reading, the
// values of an opened real-time file, the rows of the chart and its status
// line. The page window draws from it and hears of every change; the
// command-line companion keeps one without a window.
#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class GraphPage {
 public:
  static constexpr int kMaxFileValues = 1000;
  static constexpr int kNoValue = -1000;  // an entry without a value; ends a file's points
  static constexpr int kMinRows = 300;
  static constexpr int kMaxRows = 1000;

  GraphPage();

  // Real-time reading starts: an empty status line, 300 rows, the first value
  // goes to row 1.
  void StartLive();
  // UM_GRAPH_CLEAR: blank the graph.
  void Clear();
  // UM_GRAPH_UPDATE with a live value text (the six bytes of a real-time record).
  void AddLiveValue(const std::string& valueText);
  // An opened real-time file's whole-dBm values, in file order: the first
  // 1000 are kept, the rest of the thousand entries are empty, and the chart
  // gets as many rows as values (at least 300).
  void SetFileValues(const std::vector<int>& values);
  // UM_GRAPH_UPDATE after an opened file: the chart shows the file's values.
  void ShowFileValues();

  int RowCount() const { return m_nRowCount; }
  int NextRow() const { return m_nNextRow; }
  const std::string& Status() const { return m_strStatus; }
  const std::array<int, kMaxFileValues>& FileValues() const { return m_anFileValues; }
  // The latest live values, oldest first: as many as the chart can show.
  const std::deque<std::string>& LiveValues() const { return m_liveValues; }
  // Updates (live or file) since the last clear, and clears since the start.
  int UpdatesSinceClear() const { return m_nUpdates; }
  int Clears() const { return m_nClears; }

  // Called after every change.
  void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

 private:
  void Changed();

  std::array<int, kMaxFileValues> m_anFileValues;
  int m_nRowCount = kMinRows;
  int m_nNextRow = 1;
  std::string m_strStatus;
  std::deque<std::string> m_liveValues;
  int m_nUpdates = 0;
  int m_nClears = 0;
  std::function<void()> m_changed;
};
