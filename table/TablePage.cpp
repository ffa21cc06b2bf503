#include "table/TablePage.h"

#include <utility>

#include "common/Language.h"
#include "common/TextRules.h"
#include "table/DataFiles.h"
#include "common/FileAccess.h"

namespace {

// The widest layout has ten columns; applying a layout deletes that many.
constexpr int kMaxColumns = 10;
constexpr int kFileDescriptionWidth = 200;

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

TablePage::TablePage(FrameTexts texts, std::string languageValue)
    : m_strLanguage(std::move(languageValue)), m_texts(std::move(texts)) {
  if (const auto index = lang::Resolve(m_strLanguage)) {
    if (lang::IsChinese(*index)) {
      m_strSetOk = "设置成功";
      m_strPromptCaption = "信息提示";
    } else {
      m_strSetOk = "Set up successful";
      m_strPromptCaption = "Massage prompt";
    }
  }
  InsertLayoutColumns(Layout::Measurement, kFileDescriptionWidth);
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

RecordOutcome TablePage::ShowReply(const meter::Record& record, DataKind kind, int& rowCount) {
  m_strRecord = record.Text();
  RecordOutcome outcome;
  switch (kind) {
    case DataKind::RealTime:
    case DataKind::History:
      if (const auto& measurement = record.AsMeasurement()) {
        // An empty history slot of the meter: no row, and the next record
        // takes its number.
        if (kind == DataKind::History && record.IsEmptySlot()) return outcome;
        ShowReading(*measurement, rowCount);
      }
      return outcome;
    case DataKind::Parameters: {
      const auto& parameters = record.AsParameters();
      if (!parameters) return outcome;
      ShowParameters(*parameters, rowCount);
      break;
    }
    case DataKind::Clock:
    case DataKind::Wavelength:
    case DataKind::Calibration:
    case DataKind::Mode: {
      if (kind == DataKind::Wavelength || kind == DataKind::Calibration) {
        outcome.currentWavelength = record.CurrentWavelength();
      }
      break;
    }
    default:
      break;  // wavelength codes, nothing to interpret: the closing step only
  }
  ClosingStep();
  return outcome;
}

void TablePage::ShowReading(const meter::Reading& r, int& rowCount) {
  const int row = m_list.InsertRow(rowCount, std::to_string(rowCount + 1));
  m_list.SetCell(row, 1, r.wavelength);
  m_list.SetCell(row, 2, r.linearPower);
  m_list.SetCell(row, 3, r.logPower);
  m_list.SetCell(row, 4, FourDigitYearTime(r.meterTime));
  ++rowCount;
  ClosingStep();
}

void TablePage::ShowParameters(const meter::ParameterRecord& p, int rowCount) {
  // Not advancing the row count puts every record above the ones before it.
  const int row = m_list.InsertRow(rowCount, p.wavelength);
  m_list.SetCell(row, 1, p.wavelengthCalibration);
  for (int n = 0; n < 8; ++n) m_list.SetCell(row, n + 2, p.ranges[static_cast<size_t>(n)]);
}

bool TablePage::EditCell(int row, int col, std::string_view gbk) {
  if (row < 0 || row >= m_list.RowCount() || col < 0 || col >= m_list.ColumnCount()) return false;
  if (m_list.Cell(row, col) == gbk) return true;
  if (!m_list.SetCell(row, col, gbk)) return false;
  if (m_edited) m_edited();
  return true;
}

void TablePage::ClosingStep() {
  if (m_scroll && m_list.RowCount() > 0) m_scroll(m_list.RowCount() - 1);
}

// ---- files -----------------------------------------------------------------

std::string TablePage::ReplaceQuestion(const std::string& path) const {
  return FileTextsFor(m_strLanguage).replaceAsk + path;
}

FileOutcome TablePage::SaveToPath(const std::string& path, DataKind kind) {
  FileOutcome outcome;
  const datafile::FileType type = datafile::TypeForDataKind(kind);
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

OpenedFile TablePage::OpenPath(const std::string& path) {
  using datafile::FileType;
  OpenedFile opened;
  opened.path = path;
  fileaccess::ReadResult file = fileaccess::ReadWholeFile(path);
  if (file.error != fileaccess::ReadError::None) {
    const FileTexts texts = FileTextsFor(m_strLanguage);
    const auto index = lang::Resolve(m_strLanguage);
    const bool chinese = index && lang::IsChinese(*index);
    opened.status = FileOutcome::Status::Failed;
    opened.message = file.error == fileaccess::ReadError::TooLarge
                         ? texts.tooLarge + path
                         : texts.cannotOpen + path + " (" +
                               fileaccess::SystemReason(file.errorNumber, chinese) + ")";
    return opened;
  }
  TableModel::BulkUpdate bulk(m_list);
  DeleteAllRows();
  m_strFilePath = path;
  opened.type = datafile::TypeOfPath(path);
  if (opened.type == FileType::None) return opened;
  if (opened.type == FileType::Syf) {
    ApplyLayout(Layout::Parameters);
  } else {
    m_bFileOpened = true;
    ApplyLayout(Layout::Measurement, kFileDescriptionWidth);
  }
  opened.records = datafile::LoadRecords(opened.type, datafile::ContentOf(file.bytes), m_list, 0,
                                         opened.type == FileType::Ref ? &opened.graphValues : nullptr);
  return opened;
}
