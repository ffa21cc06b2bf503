// The table's document: unsaved rows, Open, Save, Print and Export, with
// their dialogs or (for the command line) without.
#include "app/FileCommands.h"

#include <string>

#include "common/FileAccess.h"
#include "common/Gbk.h"
#include "table/DataFiles.h"

FileCommands::FileCommands(ServiceCore& core)
    : m_core(core),
      m_prompter(core.Prompter()),
      m_session(core.Session()),
      m_table(core.Table()),
      m_feed(core.Feed()),
      m_texts(core.Texts()),
      m_language(core.LanguageNamed()),
      m_shown(core.Shown()),
      m_state(core.State()) {}

bool FileCommands::ResolveUnsaved() {
  if (!m_state.unsaved) return true;
  switch (m_prompter.AskSaveDiscardCancel(unsaved::QuestionFor(m_language))) {
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      return false;
    case SaveChoice::Save:
      break;
  }
  // The Save command as the operator would give it: reading stops, then the
  // dialog and the file. Only rows that reached a file may be replaced.
  m_session.StopReading();
  m_core.SetRealTimeButton(false);
  return SaveWithDialog();
}

bool FileCommands::ConfirmExit() {
  if (m_state.unsaved) return ResolveUnsaved();
  return m_core.AskYesNo(m_texts.m_strExitAsk, m_texts.m_strMsgCaption);
}

// ---------------------------------------------------------------------------
// Files

void FileCommands::OnOpenFile() {
  if (!m_core.CheckNoHistory() || !ResolveUnsaved()) return;
  m_session.StopReading();
  m_core.SetRealTimeButton(false);
  m_core.PostSelf([this] { OpenWithDialog(); });
}

void FileCommands::OpenWithDialog() {
  const auto chosen = m_prompter.AskOpenPath(std::string(datafile::kOpenFilter));
  if (!chosen) return;
  const FileOutcome outcome = OpenFile(*chosen);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_prompter.MessageBox(outcome.message, m_table.m_strPromptCaption, BoxButtons::Ok);
    return;
  }
  m_core.PostStatus(m_table.m_strFilePath);
}

FileOutcome FileCommands::OpenFile(const std::string& path) {
  using datafile::FileType;
  // The feed fills the table and tells the graph and the other followers;
  // what is shown is set here.
  OpenedFile opened = m_feed.Open(path);
  if (opened.status == FileOutcome::Status::Failed) return opened;
  m_core.SetDocument(unsaved::FileNameOf(opened.path), false);
  m_session.StopReading();
  m_shown.rowCount = 0;
  m_core.TellTableReplaced();
  switch (opened.type) {
    case FileType::None:
      break;
    case FileType::Syf:
      m_shown.paramView = true;
      m_core.ShowTable(TableContent::Parameters);
      // Shown system parameters save as .syf again.
      m_shown.dataKind = DataKind::Parameters;
      m_shown.rowCount = opened.records;
      break;
    case FileType::Ref:
    case FileType::Hif:
      m_shown.paramView = false;
      m_core.ShowTable(opened.type == FileType::Ref ? TableContent::RealTime : TableContent::History);
      if (opened.records > 0) m_shown.dataKind = DataKind::RealTime;
      m_shown.rowCount = opened.records;
      break;
  }
  m_shown.rowsKind = m_shown.dataKind;
  return opened;
}

void FileCommands::OnSaveData() {
  m_session.StopReading();
  m_core.SetRealTimeButton(false);
  m_core.PostSelf([this] { SaveWithDialog(); });
}

bool FileCommands::SaveWithDialog() {
  const DataKind kind = m_shown.rowsKind;
  const datafile::FileType type =
      kind == DataKind::Nothing ? datafile::FileType::None : datafile::TypeForDataKind(kind);
  // A Save that cannot write says why rather than doing nothing.
  if (type == datafile::FileType::None) {
    m_core.PostStatus(unsaved::NothingToSave(m_language));
    return false;
  }
  const auto chosen = m_prompter.AskSavePath(std::string(datafile::SaveFilter(type)));
  if (!chosen) {
    m_core.PostStatus({});
    return false;
  }
  const std::string path = datafile::PathWithExtension(*chosen, type);
  if (fileaccess::Exists(path) &&
      !m_core.AskYesNo(m_table.ReplaceQuestion(path), m_table.m_strPromptCaption)) {
    m_core.PostStatus({});
    return false;
  }
  const FileOutcome outcome = SaveFile(path, kind);
  if (outcome.status == FileOutcome::Status::Failed) {
    m_prompter.MessageBox(outcome.message, m_table.m_strPromptCaption, BoxButtons::Ok);
    return false;
  }
  m_core.PostStatus(outcome.path);
  return true;
}

FileOutcome FileCommands::SaveFile(const std::string& path, DataKind kind) {
  FileOutcome outcome = m_feed.Save(path, kind);
  if (outcome.status == FileOutcome::Status::Done) m_core.SetDocument(unsaved::FileNameOf(outcome.path), false);
  return outcome;
}

// ---------------------------------------------------------------------------
// Print

report::Outcome FileCommands::OnPrint(report::IReportDevice& device) {
  if (m_shown.paramView) {
    m_core.PostStatus(unsaved::ParametersNotPrinted(m_language));
    return report::Outcome::NotPrinted;
  }
  CTestReport report(device);
  const report::Outcome outcome =
      report.Print(m_table.Model(), gbk::FromUtf8(m_texts.m_strReportTitle));
  if (outcome == report::Outcome::Failed) m_core.Box(report::FailureText(m_texts.m_bChinese));
  return outcome;
}

// ---------------------------------------------------------------------------
// Export

void FileCommands::OnExport() {
  m_core.PostSelf([this] { ExportWithDialog(); });
}

void FileCommands::ExportWithDialog() {
  const auto chosen = m_prompter.AskExportPath(std::string(tableexport::kFilter));
  if (!chosen) return;
  const tableexport::Target target = tableexport::TargetForFilter(chosen->filterIndex);
  const bool workbook = target == tableexport::Target::Workbook;
  const std::string path = workbook ? tableexport::WorkbookPath(chosen->path) : tableexport::CsvPath(chosen->path);
  // The dialog asked about the name chosen; a CSV file under the longer name
  // would be replaced without a word.
  if (path != chosen->path && fileaccess::Exists(path) &&
      !m_core.AskYesNo(m_table.ReplaceQuestion(path), m_table.m_strPromptCaption)) {
    return;
  }
  if (workbook) m_prompter.ShowWaitCursor(true);
  const tableexport::Outcome outcome = ExportTable(path, target);
  if (workbook) m_prompter.ShowWaitCursor(false);
  switch (outcome.status) {
    case tableexport::Outcome::Status::Done:
      m_core.PostStatus(path);
      break;
    case tableexport::Outcome::Status::CreateFailed:
      m_prompter.MessageBox(tableexport::kCreateFailed, kApplicationTitle, BoxButtons::Ok);
      break;
    case tableexport::Outcome::Status::Failed:
      m_prompter.ErrorBox(tableexport::kExportFailed, m_table.m_strPromptCaption);
      break;
  }
}

tableexport::Outcome FileCommands::ExportTable(const std::string& path, tableexport::Target target) {
  return m_feed.Export(path, target);
}
