#include "app/DataFeed.h"

#include <algorithm>

DataFeed::Token DataFeed::Subscribe(Subscriber subscriber) {
  m_subscribers.emplace_back(m_nextToken, std::move(subscriber));
  return m_nextToken++;
}

void DataFeed::Unsubscribe(Token token) {
  std::erase_if(m_subscribers, [token](const auto& entry) { return entry.first == token; });
}

RecordOutcome DataFeed::Route(const meter::Record& record, bool plot, DataKind kind, int& rowCount) {
  // The graph's value, the table's texts and the subscribers' numbers all
  // come from the one reading of the record.
  if (plot) m_graph.OnGraphValue(record.PlotDbm());
  const int rowsBefore = rowCount;
  const RecordOutcome outcome = m_table.ShowReply(record, kind, rowCount);
  if (kind == DataKind::RealTime && rowCount > rowsBefore && record.AsMeasurement()) {
    Tell(&Subscriber::measurement, rowsBefore, *record.AsMeasurement());
  }
  Tell(&Subscriber::recordShown, record);
  return outcome;
}

void DataFeed::ReadStarted() {
  m_bLiveRows = true;
  Tell(&Subscriber::started);
}

void DataFeed::TableReplaced() { Tell(&Subscriber::replaced); }

void DataFeed::ReadFinished(bool lost) {
  if (!m_bLiveRows) return;
  m_bLiveRows = false;
  Tell(&Subscriber::finished, lost);
}

void DataFeed::HistoryProgress(int rows, int seconds) { Tell(&Subscriber::historyProgress, rows, seconds); }

OpenedFile DataFeed::Open(const std::string& path) {
  OpenedFile opened = m_table.OpenPath(path);
  if (opened.status == FileOutcome::Status::Failed) return opened;
  Tell(&Subscriber::fileOpened, FileOpened{opened.path, opened.type, opened.records, opened.graphValues});
  return opened;
}

FileOutcome DataFeed::Save(const std::string& path, DataKind kind) {
  FileOutcome outcome = m_table.SaveToPath(path, kind);
  if (outcome.status == FileOutcome::Status::Done) Tell(&Subscriber::fileSaved, outcome.path);
  return outcome;
}

tableexport::Outcome DataFeed::Export(const std::string& path, tableexport::Target target) {
  const tableexport::Outcome outcome = target == tableexport::Target::Workbook
                                           ? tableexport::ExportWorkbook(m_table.Model(), path)
                                           : tableexport::ExportCsv(m_table.Model(), path);
  if (outcome.status == tableexport::Outcome::Status::Done) Tell(&Subscriber::fileSaved, path);
  return outcome;
}
