#include "app/DataFeed.h"

#include <algorithm>

DataFeed::Token DataFeed::Subscribe(feed::Listener listener) {
  m_listeners.emplace_back(m_nextToken, std::move(listener));
  return m_nextToken++;
}

void DataFeed::Unsubscribe(Token token) {
  std::erase_if(m_listeners, [token](const auto& entry) { return entry.first == token; });
}

RecordOutcome DataFeed::Route(const meter::Record& record, bool plot, DataKind kind, int& rowCount) {
  // The graph's value, the table's texts and the subscribers' numbers all
  // come from the one reading of the record.
  if (plot) m_graph.OnGraphValue(record.PlotDbm());
  const int rowsBefore = rowCount;
  RecordOutcome outcome = m_table.ShowReply(record, kind, rowCount);
  if (kind == DataKind::RealTime && rowCount > rowsBefore && record.AsMeasurement()) {
    Tell(feed::Row{rowsBefore, *record.AsMeasurement()});
  }
  Tell(feed::RecordShown{record});
  return outcome;
}

void DataFeed::ReadStarted() {
  m_bLiveRows = true;
  Tell(feed::ReadStarted{});
}

void DataFeed::TableReplaced() { Tell(feed::TableReplaced{}); }

void DataFeed::ReadFinished(bool lost) {
  if (!m_bLiveRows) return;
  m_bLiveRows = false;
  Tell(feed::ReadFinished{lost});
}

void DataFeed::HistoryProgress(int rows, int seconds) { Tell(feed::HistoryProgress{rows, seconds}); }

OpenedFile DataFeed::Open(const std::string& path) {
  OpenedFile opened = m_table.OpenPath(path);
  if (opened.status == FileOutcome::Status::Failed) return opened;
  Tell(feed::FileOpened{opened.path, opened.type, opened.records, opened.graphValues});
  return opened;
}

FileOutcome DataFeed::Save(const std::string& path, DataKind kind) {
  FileOutcome outcome = m_table.SaveToPath(path, kind);
  if (outcome.status == FileOutcome::Status::Done) Tell(feed::FileSaved{outcome.path});
  return outcome;
}

tableexport::Outcome DataFeed::Export(const std::string& path, tableexport::Target target) {
  tableexport::Outcome outcome = target == tableexport::Target::Workbook
                                     ? tableexport::ExportWorkbook(m_table.Model(), path)
                                     : tableexport::ExportCsv(m_table.Model(), path);
  if (outcome.status == tableexport::Outcome::Status::Done) Tell(feed::FileSaved{path});
  return outcome;
}
