#include "graph/GraphPage.h"

#include <algorithm>
#include <cstdio>

#include "common/Language.h"
#include "common/TextRules.h"
#include "common/LocalTime.h"

namespace {

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  return localclock::At(now).fields;
}

}  // namespace

GraphTexts GraphTexts::For(const std::string& languageValue) {
  GraphTexts t;
  const auto index = lang::Resolve(languageValue);
  if (!index) return t;
  if (lang::IsChinese(*index)) {
    t.m_strAxisX = "测试时长(秒)";
    t.m_strTimeLabel = "当前测试时间";
    t.m_strDurationLabel = "当前测试时长";
    t.m_strPowerLabel = "当前对数功率";
  } else {
    t.m_strAxisX = "Test time duration(s)";
    t.m_strTimeLabel = "Current test time";
    t.m_strDurationLabel = "Current test time duration";
    t.m_strPowerLabel = "Current logarithm power";
  }
  return t;
}

GraphPage::GraphPage() : m_clock(LocalNow) { m_anFileValues.fill(kNoValue); }

void GraphPage::Initialise(const std::string& languageValue) {
  m_texts = GraphTexts::For(languageValue);
  m_anFileValues.fill(kNoValue);

  ChartLook& look = m_chart.Look();
  // No title, a white backdrop, a fixed scale of -50 to +50 dBm in ten
  // divisions, one thick red line.
  look.title.clear();
  look.backdrop = {255, 255, 255};
  look.valueMaximum = 50.0;
  look.valueMinimum = -50.0;
  look.valueMajorDivisions = 10;
  look.valueAxisTitle = kValueAxisTitle;
  look.pen = {255, 0, 0};
  look.penWidth = 30.0f;

  Redraw();  // still clearing: every row is made empty
}

void GraphPage::StartLive() {
  // An opened file's graph gives way to the live one at once; left in file
  // mode, the clear that follows would draw the file again and hide the
  // live points until the page happened to be painted.
  m_bFileOpened = false;
  m_strStatus.clear();
  m_nNextRow = 1;
  m_nRowCount = kMinRows;
}

void GraphPage::SetOpenedFile(const std::string& path) {
  m_bFileOpened = true;
  m_strFilePath = path;
}

void GraphPage::SetFileValues(const std::vector<int>& values) {
  m_anFileValues.fill(kNoValue);
  const size_t kept = std::min(values.size(), m_anFileValues.size());
  std::copy_n(values.begin(), kept, m_anFileValues.begin());
  m_nRowCount = std::max(static_cast<int>(kept), kMinRows);
}

void GraphPage::LabelRow(int row) {
  m_chart.SetCurrentRow(row);
  m_chart.SetRowLabel(row % 10 == 0 || row == m_nRowCount ? std::to_string(row) : " ");
}

void GraphPage::Refresh() {
  if (m_window.refreshChart) m_window.refreshChart();
}

void GraphPage::ShowStatus() {
  if (m_window.showStatus) m_window.showStatus(m_strStatus);
}

void GraphPage::SetRedraw(bool on) {
  if (m_window.setChartRedraw) m_window.setChartRedraw(on);
}

void GraphPage::Snapshot(bool showFrame) {
  if (m_window.snapshot) m_window.snapshot(showFrame);
}

void GraphPage::SetLiveStatus() {
  // The date parts are separated by colons, and the seconds shown run from
  // 01 to 60: the duration counts the reading being shown.
  const auto format = [this](char* out, size_t size) {
    return std::snprintf(
        out, size, "%s:%d:%.2d:%.2d  %.2d:%.2d:%.2d           %s:%.2d:%.2d           %s:%d dBm",
        m_texts.m_strTimeLabel.c_str(), m_time.tm_year + 1900, m_time.tm_mon + 1, m_time.tm_mday,
        m_time.tm_hour, m_time.tm_min, m_time.tm_sec, m_texts.m_strDurationLabel.c_str(),
        m_nMinutes, m_nSeconds + 1, m_texts.m_strPowerLabel.c_str(), m_nValue);
  };
  m_strStatus.assign(static_cast<size_t>(format(nullptr, 0)), '\0');
  format(m_strStatus.data(), m_strStatus.size() + 1);
}

void GraphPage::Redraw() {
  m_chart.SetRowCount(m_nRowCount);
  m_time = m_clock();
  m_chart.SetCategoryTitle(m_texts.m_strAxisX);

  for (int r = 1; r <= m_nRowCount; ++r) {
    LabelRow(r);
    if (m_bClearing && !m_bFileOpened) {
      m_chart.SetPointEmpty();
      Refresh();
    }
    if (m_bFileOpened) {
      m_strStatus = kFileCaption + m_strFilePath;
      const int value = r - 1 < kMaxFileValues ? m_anFileValues[static_cast<size_t>(r - 1)] : kNoValue;
      if (value == kNoValue) {
        // The file's points end here: whatever was drawn after them goes.
        for (int e = r; e <= m_nRowCount; ++e) {
          m_chart.SetCurrentRow(e);
          m_chart.SetPointEmpty();
        }
        m_chart.SetCurrentRow(r);
        // The chart control redrew itself on a change of its data; this
        // chart waits to be asked.
        Refresh();
        return;
      }
      m_chart.SetData(r, 1, value, false);
    }
  }
  Refresh();

  if (!m_bClearing) {
    if (m_nNextRow == m_nRowCount) {
      // The live graph is full: the value that came is not drawn, the graph
      // is wiped and starts again at row 1.
      m_chart.SetPointEmpty();
      Refresh();
      m_nNextRow = 1;
      if (m_postClear) m_postClear();
      return;
    }
    if (!m_bFileOpened) {
      if (m_nSeconds == 60) {
        m_nSeconds = 0;
        ++m_nMinutes;
      }
      SetRedraw(false);
      SetLiveStatus();
      m_chart.SetData(m_nNextRow, 1, m_nValue, false);
      SetRedraw(true);
      Snapshot(true);
      Refresh();
      ++m_nSeconds;
      ++m_nNextRow;
    }
  }
  Refresh();
  ShowStatus();
}

void GraphPage::OnGraphUpdate(const std::string& valueText) {
  m_strGraphValue = valueText;
  OnGraphUpdate();
}

void GraphPage::OnGraphUpdate() {
  m_bClearing = false;
  m_nValue = text::LeadingInt(m_strGraphValue);
  m_strStatus.clear();
  Redraw();
  ShowStatus();
}

void GraphPage::OnGraphClear() {
  m_bClearing = true;
  m_nNextRow = 1;
  m_nSeconds = 0;
  m_nMinutes = 0;
  Redraw();
  m_bClearing = false;
  m_strStatus.clear();
  ShowStatus();
}

void GraphPage::OnPaint(bool realTime) {
  for (int r = 1; r <= m_nRowCount; ++r) LabelRow(r);
  Refresh();
  if (!m_bClearing && !m_bFileOpened) {
    // Between two readings this shows the duration one second ahead and the
    // latest value once more at the next row, which the next reading
    // overwrites.
    SetRedraw(false);
    SetLiveStatus();
    m_chart.SetData(m_nNextRow, 1, m_nValue, false);
    SetRedraw(true);
  }
  if (realTime) {
    m_bFileOpened = false;
    Snapshot(true);
  } else {
    Snapshot(false);
  }
  Refresh();
  ShowStatus();
}
