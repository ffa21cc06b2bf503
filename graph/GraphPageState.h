#pragma once
// The graph page's bookkeeping that other parts write: the table page puts an
// opened file's power values here, the main frame resets the live counters
// when real-time reading starts. The graph page draws from it.
#include <array>
#include <string>

struct GraphPageState {
  static constexpr int kMaxFileValues = 1000;
  static constexpr int kNoValue = -1000;  // an entry without a value; ends a file's points
  static constexpr int kMinRows = 300;

  GraphPageState();

  // Every entry of m_anFileValues back to kNoValue.
  void ClearFileValues();

  std::array<int, kMaxFileValues> m_anFileValues;  // whole dBm, file order from entry 0
  int m_nRowCount = kMinRows;                      // chart rows, 300 to 1000
  int m_nNextRow = 1;                              // 1-based row of the next live value
  std::string m_strStatus;                         // status line (UTF-8)
};
