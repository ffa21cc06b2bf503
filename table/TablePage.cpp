#include "table/TablePage.h"

#include <algorithm>
#include <utility>

#include "app/GbkKeywords.h"
#include "app/Language.h"
#include "app/SharedState.h"
#include "app/TextRules.h"
#include "graph/GraphPageState.h"
#include "table/DataFiles.h"
#include "table/FileAccess.h"

namespace {

using text::CutAt;
using text::FirstN;
using text::From;
using text::Pos;

// The widest layout has ten columns; applying a layout deletes that many.
constexpr int kMaxColumns = 10;

// Texts of the file messages; the language class as for the page's other
// texts, English when the value names no language.
struct FileTexts {
  std::string cannotOpen, tooLarge, cannotSave, replaceAsk;
};

// The too-large texts name the size limit of data files.
static_assert(fileaccess::kMaxDataFileBytes == size_t{1} << 30);

FileTexts FileTextsFor(const std::string& language) {
  const auto index = lang::Resolve(language);
  if (index && lang::IsChinese(*index)) {
    return {"无法打开文件：", "文件太大，无法打开（超过 1 GB）：", "无法保存文件：",
            "文件已存在，要替换它吗？\n"};
  }
  return {"Cannot open the file: ", "The file is too large to open (more than 1 GB): ",
          "Cannot save the file: ", "The file already exists. Do you want to replace it?\n"};
}

// "20" before the meter's two-digit year, trailing white space removed.
std::string FourDigitYearTime(std::string_view time) {
  std::string t = "20";
  t += time;
  t.resize(text::TrimRight(t).size());
  return t;
}

}  // namespace

TablePage::TablePage(ITablePageHost& host, FrameTexts texts, std::string languageValue)
    : m_strLanguage(std::move(languageValue)), m_host(host), m_texts(std::move(texts)) {
  if (const auto index = lang::Resolve(m_strLanguage)) {
    if (lang::IsChinese(*index)) {
      m_strSetOk = "设置成功";
      m_strPromptCaption = "信息提示";
    } else {
      m_strSetOk = "Set up successful";
      m_strPromptCaption = "Massage prompt";
    }
  }
  InsertLayoutColumns(Layout::Measurement, 200);
}

// ---- layouts ---------------------------------------------------------------

void TablePage::ApplyLayout(Layout layout, int descriptionWidth) {
  DeleteAllRows();
  for (int i = 0; i < kMaxColumns; ++i) m_list.DeleteColumn(0);
  InsertLayoutColumns(layout, descriptionWidth);
}

void TablePage::InsertLayoutColumns(Layout layout, int descriptionWidth) {
  int next = 0;
  auto add = [&](const std::string& title, int width) { m_list.InsertColumn(next++, title, width); };
  switch (layout) {
    case Layout::Measurement:
      add(m_texts.m_strColNo, 150);
      add(m_texts.m_strColWavelength, 150);
      add(m_texts.m_strColLinear, 100);
      add(m_texts.m_strColLog, 150);
      add(m_texts.m_strColTime, 150);
      add(m_texts.m_strColDescription, descriptionWidth);
      break;
    case Layout::AD:
      // The meter's own terms, in every language.
      add("波长", 150);
      add("量程", 100);
      add("AD值", 100);
      break;
    case Layout::Wavelength:
      add(m_texts.m_strColCurrentWavelength, 150);
      break;
    case Layout::Parameters: {
      const auto index = lang::Resolve(m_strLanguage);
      if (!index) break;  // no language, no columns
      const bool narrow = lang::IsChinese(*index);
      const int first = narrow ? 50 : 80;
      const int others = narrow ? 100 : 200;
      add(m_texts.m_strColWavelength, first);
      add(m_texts.m_strColWavelengthCal, others);
      for (const std::string& title : m_texts.m_strColRangeCal) add(title, others);
      break;
    }
  }
}

void TablePage::DeleteAllRows() { m_list.DeleteAllRows(); }

// ---- records ---------------------------------------------------------------

void TablePage::OnRecordReady(const std::string& record) {
  if (&record != &m_strRecord) m_strRecord = record;
  const std::string& r = m_strRecord;
  switch (g_nDataKind) {
    case datakind::kRealTime:
    case datakind::kHistory:
      if (!text::Contains(r, gbk::kWave)) return;
      ShowMeasurementRecord(r, g_nDataKind == datakind::kHistory);
      return;
    case datakind::kParameters:
      if (!text::Contains(r, gbk::kWavelengthColon)) return;
      ShowParameterRecord(r);
      break;
    case datakind::kClock:
    case datakind::kWavelength:
    case datakind::kCalibration:
    case datakind::kMode:
      ShowSettingReply(r, g_nDataKind);
      break;
    default:
      break;  // wavelength codes, nothing to interpret: the closing step only
  }
  ClosingStep();
}

void TablePage::ShowMeasurementRecord(const std::string& r, bool history) {
  const std::string_view meterTime = CutAt(From(r, Pos(r, gbk::kTime) + 10), "\r");
  // An empty history slot of the meter carries the time "00/00/00": no row,
  // and the next record takes its number.
  if (history && text::Contains(meterTime, "00/00/00")) return;
  const std::string time = FourDigitYearTime(meterTime);
  const int row = m_list.InsertRow(g_nRowCount, std::to_string(g_nRowCount + 1));
  m_list.SetCell(row, 1, CutAt(From(r, Pos(r, gbk::kWavelength) + 10), "nm"));
  const std::string_view linear = From(r, Pos(r, gbk::kLinear) + 10);
  m_list.SetCell(row, 2, FirstN(linear, Pos(linear, "W") + 1));
  m_list.SetCell(row, 3, CutAt(From(r, Pos(r, gbk::kLog) + 10), "dBm"));
  m_list.SetCell(row, 4, time);
  ++g_nRowCount;
  ClosingStep();
}

void TablePage::ShowParameterRecord(const std::string& r) {
  // Not advancing g_nRowCount puts every record above the ones before it.
  const int row = m_list.InsertRow(g_nRowCount, CutAt(From(r, Pos(r, gbk::kWavelength) + 6), "\r"));
  m_list.SetCell(row, 1, text::Mid(r, Pos(r, gbk::kSystemWavelength) + 16, 5));
  std::string key(gbk::kSystemRange);
  key += '0';
  for (int n = 0; n < 8; ++n) {
    key.back() = static_cast<char>('0' + n);
    const std::string_view t = From(r, Pos(r, key) + 16);
    m_list.SetCell(row, n + 2, CutAt(From(t, 1), "dBm"));
  }
}

void TablePage::ShowSettingReply(const std::string& r, int kind) {
  const bool success = text::Contains(r, gbk::kSuccess);
  if (kind == datakind::kClock) {
    if (!success) {
      m_host.RunSetClockAgain();
      return;
    }
  } else if (kind == datakind::kWavelength || kind == datakind::kCalibration) {
    const int at = Pos(r, gbk::kCurrentWavelength);
    if (at >= 0) {
      g_strCurWavelength = std::string(text::Mid(r, at + 10, 4));
      m_host.NotifyWavelengthDialog(kind);
    }
  }
  if (success) SuccessNotice();
}

void TablePage::SuccessNotice() {
  m_host.ShowNotice(m_strSetOk, m_strPromptCaption);
  g_nDataKind = datakind::kNothing;
}

void TablePage::ClosingStep() {
  if (m_list.RowCount() > 0) m_host.ScrollToRow(m_list.RowCount() - 1);
}

// ---- files -----------------------------------------------------------------

void TablePage::OnSaveData() {
  if (g_nDataKind == datakind::kNothing) return;
  const datafile::FileType type = datafile::TypeForDataKind(g_nDataKind);
  if (type == datafile::FileType::None) {
    m_host.SetStatusText({});
    return;
  }
  const auto chosen = m_host.AskSavePath(std::string(datafile::SaveFilter(type)));
  if (!chosen) {
    m_host.SetStatusText({});
    return;
  }
  const std::string path = datafile::PathWithExtension(*chosen, type);
  const FileTexts texts = FileTextsFor(m_strLanguage);
  if (fileaccess::Exists(path) && !m_host.AskYesNo(texts.replaceAsk + path, m_strPromptCaption)) {
    m_host.SetStatusText({});
    return;
  }
  const FileOutcome outcome = SaveToPath(path);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_host.ShowError(outcome.message, m_strPromptCaption);
    return;
  }
  m_host.SetStatusText(outcome.path);
}

FileOutcome TablePage::SaveToPath(const std::string& path) {
  FileOutcome outcome;
  const datafile::FileType type = datafile::TypeForDataKind(g_nDataKind);
  if (type == datafile::FileType::None) {
    outcome.status = FileOutcome::Status::Nothing;
    return outcome;
  }
  outcome.path = datafile::PathWithExtension(path, type);
  const std::string error =
      fileaccess::WriteFileReplacing(outcome.path, datafile::Compose(m_list, type));
  if (!error.empty()) {
    outcome.status = FileOutcome::Status::Failed;
    outcome.message = FileTextsFor(m_strLanguage).cannotSave + outcome.path + " (" + error + ")";
  }
  return outcome;
}

void TablePage::OnOpenFile() {
  const auto chosen = m_host.AskOpenPath(std::string(datafile::kOpenFilter));
  if (!chosen) return;
  const FileOutcome outcome = OpenPath(*chosen);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_host.ShowError(outcome.message, m_strPromptCaption);
    return;
  }
  m_host.SetStatusText(m_strFilePath);
}

FileOutcome TablePage::OpenPath(const std::string& path) {
  FileOutcome outcome;
  outcome.path = path;
  fileaccess::ReadResult file = fileaccess::ReadWholeFile(path);
  if (file.error != fileaccess::ReadError::None) {
    const FileTexts texts = FileTextsFor(m_strLanguage);
    outcome.status = FileOutcome::Status::Failed;
    outcome.message = file.error == fileaccess::ReadError::TooLarge
                          ? texts.tooLarge + path
                          : texts.cannotOpen + path + " (" + file.reason + ")";
    return outcome;
  }
  m_host.StopRealTimeReading();
  m_host.PostGraphClear();
  TableModel::BulkUpdate bulk(m_list);
  g_nRowCount = 0;
  DeleteAllRows();
  m_strFilePath = path;
  LoadContent(datafile::TypeOfPath(path), datafile::ContentOf(file.bytes));
  return outcome;
}

void TablePage::LoadContent(datafile::FileType type, std::string_view content) {
  using datafile::FileType;
  if (type == FileType::None) return;
  if (type == FileType::Syf) {
    g_bParamView = true;
    m_host.DeleteTab(0);
    m_host.InsertTab(0, m_texts.m_strReadParams);
    m_host.SelectTab(0);
    m_host.DeleteTab(1);
    ApplyLayout(Layout::Parameters);
    // Shown system parameters save as .syf again.
    g_nDataKind = datakind::kParameters;
    g_nRowCount += datafile::LoadRecords(type, content, m_list, g_nRowCount);
    return;
  }
  g_bParamView = false;
  m_bFileOpened = true;
  GraphPageState* graph = nullptr;
  if (type == FileType::Ref) {
    const int tabs = m_host.TabCount();
    m_host.DeleteTab(0);
    m_host.InsertTab(0, m_texts.m_strReadRealTime);
    if (tabs == 1) m_host.InsertTab(1, m_texts.m_strGraphicData);
    m_host.PostGraphClear();
    graph = m_host.GraphState();
  } else {
    m_host.DeleteTab(0);
    m_host.InsertTab(0, m_texts.m_strReadHistory);
    m_host.SelectTab(0);
    m_host.DeleteTab(1);
  }
  ApplyLayout(Layout::Measurement, 200);
  if (graph) graph->ClearFileValues();
  const int first = g_nRowCount;
  const int records = datafile::LoadRecords(type, content, m_list, first,
                                            graph ? &graph->m_anFileValues : nullptr);
  if (records > 0) g_nDataKind = datakind::kRealTime;
  g_nRowCount += records;
  if (type == FileType::Ref) {
    if (graph) {
      const int values = std::min(records, GraphPageState::kMaxFileValues);
      graph->m_nRowCount = std::max(values, GraphPageState::kMinRows);
    }
    m_host.PostGraphUpdate();
  }
}
