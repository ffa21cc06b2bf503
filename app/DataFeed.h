#pragma once
// The data feed: the one way the meter's records and the data files reach
// the pages and everyone who follows the data. Each record comes read once by
// the meter model (meter::Record) and is handed, typed, to the graph page and
// the table page, then to the subscribers: the field readout, the live log,
// the job panel, the command-line companion (and the results store).
//
// The frame logic decides what is shown (the data kind, the row count, the
// tabs) and calls the feed; the feed does the data's work and tells.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/DataKind.h"
#include "device/Measurement.h"
#include "device/Record.h"
#include "graph/GraphPage.h"
#include "table/TableExport.h"
#include "table/TablePage.h"

class DataFeed {
 public:
  // A data file replaced the table; it lives for the call.
  struct FileOpened {
    const std::string& path;
    datafile::FileType type;
    int records;
    const std::vector<int>& graphValues;  // a real-time file's whole-dBm values, in file order
  };
  // What a subscriber follows; any member may be left empty.
  struct Subscriber {
    // A real-time read began (its table is empty), or went on at another
    // wavelength after the rows shown: figures start again.
    std::function<void()> started;
    // The table added this real-time row; the measurement lives for the call.
    std::function<void(int row, const meter::Measurement&)> measurement;
    std::function<void()> replaced;          // the table shows other data now
    std::function<void(bool lost)> finished;  // no more live rows come: reading stopped, or the meter was lost
    std::function<void(const meter::Record&)> recordShown;  // every record, once the pages took it
    std::function<void(int rows, int seconds)> historyProgress;  // a history read's count, once a second
    std::function<void(const FileOpened&)> fileOpened;          // a data file replaced the table
    std::function<void(const std::string& path)> fileSaved;    // a data file, a workbook or a CSV file was written
  };
  using Token = int;

  DataFeed(TablePage& table, GraphPage& graph) : m_table(table), m_graph(graph) {}

  // Subscribers are added and removed outside the feed's own calls.
  Token Subscribe(Subscriber subscriber);
  void Unsubscribe(Token token);

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
  template <typename Member, typename... Args>
  void Tell(Member member, const Args&... args) {
    for (const auto& [token, subscriber] : m_subscribers) {
      if (subscriber.*member) (subscriber.*member)(args...);
    }
  }

  TablePage& m_table;
  GraphPage& m_graph;
  std::vector<std::pair<Token, Subscriber>> m_subscribers;
  Token m_nextToken = 1;
  bool m_bLiveRows = false;  // a real-time read's rows may still come
};
