#include "graph/GraphPage.h"

#include <algorithm>

GraphPage::GraphPage() { m_anFileValues.fill(kNoValue); }

void GraphPage::StartLive() {
  m_strStatus.clear();
  m_nNextRow = 1;
  m_nRowCount = kMinRows;
  Changed();
}

void GraphPage::Clear() {
  m_liveValues.clear();
  m_nUpdates = 0;
  ++m_nClears;
  Changed();
}

void GraphPage::AddLiveValue(const std::string& valueText) {
  // A long reading (or a meter flooding the line) must not grow memory: the
  // chart never shows more than its largest number of rows.
  if (m_liveValues.size() >= static_cast<size_t>(kMaxRows)) m_liveValues.pop_front();
  m_liveValues.push_back(valueText);
  ++m_nUpdates;
  Changed();
}

void GraphPage::SetFileValues(const std::vector<int>& values) {
  m_anFileValues.fill(kNoValue);
  const size_t kept = std::min(values.size(), m_anFileValues.size());
  std::copy_n(values.begin(), kept, m_anFileValues.begin());
  m_nRowCount = std::max(static_cast<int>(kept), kMinRows);
  Changed();
}

void GraphPage::ShowFileValues() {
  ++m_nUpdates;
  Changed();
}

void GraphPage::Changed() {
  if (m_changed) m_changed();
}
