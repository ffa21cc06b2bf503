#pragma once
// The data feed: the one way the meter's records and the data files reach
// the pages and everyone who follows the data. Each record comes read once by
// the meter model (meter::Record) and is handed, typed, to the graph page and
// the table page, then to the subscribers: the field readout, the live log,
// the job panel, the command-line companion (and the results store).
//
// The meter service decides what is shown (the data kind, the row count, the
// tabs) and calls the feed; the feed does the data's work and tells. Its
// typed events are the one way to follow the meter and the data: windows,
// the command-line companion and tests all subscribe here.
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/DataKind.h"
#include "device/Measurement.h"
#include "device/Record.h"
#include "graph/GraphPage.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

// What the feed tells. What an event refers to lives for the call.
namespace feed {

// A record came off the line, read by the meter model, before the pages
// take it; in arrival order.
struct RecordArrived {
  const meter::Record& record;
};
// The meter completed an exchange; told after the record that completed it
// arrived, once for each marker it carries.
struct ExchangeDone {
  meter::Done what;
};
// A real-time read began (its table is empty), or went on at another
// wavelength after the rows shown: figures start again.
struct ReadStarted {};
// The table added this real-time row.
struct Row {
  int row;
  const meter::Measurement& measurement;
};
// The table shows other data now.
struct TableReplaced {};
// No more live rows come: reading stopped, or the meter was lost.
struct ReadFinished {
  bool lost;
};
// A record, once the pages took it.
struct RecordShown {
  const meter::Record& record;
};
// A history read's count, once a second.
struct HistoryProgress {
  int rows;
  int seconds;
};
// A data file replaced the table.
struct FileOpened {
  const std::string& path;
  datafile::FileType type;
  int records;
  const std::vector<int>& graphValues;  // a real-time file's whole-dBm values, in file order
};
// A data file, a workbook or a CSV file was written.
struct FileSaved {
  const std::string& path;
};
// The meter named its current wavelength (GBK bytes), as a wavelength or a
// calibration setting asked.
struct WavelengthNamed {
  const std::string& current;
};

using Event = std::variant<RecordArrived, ExchangeDone, ReadStarted, Row, TableReplaced, ReadFinished,
                           RecordShown, HistoryProgress, FileOpened, FileSaved, WavelengthNamed>;
using Listener = std::function<void(const Event&)>;

}  // namespace feed

class DataFeed {
 public:
  using Token = int;

  DataFeed(TablePage& table, GraphPage& graph) : m_table(table), m_graph(graph) {}

  // Listeners are added and removed outside the feed's own calls; each hears
  // every event and takes those it follows.
  Token Subscribe(feed::Listener listener);
  void Unsubscribe(Token token);

  // What the meter said, as the reading session reported it.
  void RecordArrived(const meter::Record& record) { Tell(feed::RecordArrived{record}); }
  void ExchangeDone(meter::Done what) { Tell(feed::ExchangeDone{what}); }
  void WavelengthNamed(const std::string& current) { Tell(feed::WavelengthNamed{current}); }

  // One record from the meter, shown as the data of `kind` (a new row goes to
  // index `rowCount`, which counts on) and, when `plot` (real-time reading
  // ran when it came), plotted on the graph.
  RecordOutcome Route(const meter::Record& record, bool plot, DataKind kind, int& rowCount);

  void ReadStarted();
  void TableReplaced();
  // Said once per real-time read, however many reasons to stop follow.
  void ReadFinished(bool lost);
  void HistoryProgress(int rows, int seconds);

  // The data file at `path` into the table (TablePage::OpenPath); told when
  // it was read.
  OpenedFile Open(const std::string& path);
  // The rows as the file type of `kind` (TablePage::SaveToPath).
  FileOutcome Save(const std::string& path, DataKind kind);
  // The shown table as a workbook or a CSV file.
  tableexport::Outcome Export(const std::string& path, tableexport::Target target);

 private:
  void Tell(const feed::Event& event) {
    for (const auto& [token, listener] : m_listeners) listener(event);
  }

  TablePage& m_table;
  GraphPage& m_graph;
  std::vector<std::pair<Token, feed::Listener>> m_listeners;
  Token m_nextToken = 1;
  bool m_bLiveRows = false;  // a real-time read's rows may still come
};
