#pragma once
// The field options of realtime (--stats, --reference, --limits, --log): the
// readout over every real-time row, the columns it adds to the printed table,
// the live log and the summary line. The readout and the log are the meter
// service's, as in the window.
#include <string>
#include <vector>

#include "cli/MeterSession.h"
#include "cli/Options.h"
#include "cli/TableOutput.h"
#include "field/FieldTexts.h"
#include "field/LiveFeed.h"

namespace cli {

class FieldRun {
 public:
  // Works on `feed` (the session's service's), which outlives the run.
  FieldRun(field::LiveFeed& feed, const Options& o, const std::string& language);
  ~FieldRun();
  FieldRun(const FieldRun&) = delete;
  FieldRun& operator=(const FieldRun&) = delete;

  // Opens --log before the meter is looked for: a log that cannot be written
  // must not cost a run. kExitOk, else the exit code with the reason printed:
  // kExitUsage for a file that holds another header, kExitFile otherwise.
  int OpenLog(const Options& o);

  // Follows the session's real-time rows and adds the columns to `output`.
  void Follow(MeterSession& s, TableOutput& output);

  // The exit code once the rows are out: the summary line, then a failed log
  // write or a reading outside the limits on an otherwise good run.
  int Conclude(const Options& o, int status);

 private:
  field::FieldTexts m_texts;
  field::LogColumns m_columns;
  field::LiveFeed& m_feed;
  std::string m_strLogPath;
  bool m_bTold = false;
  std::vector<std::vector<std::string>> m_rows;  // the added cells, by table row
};

}  // namespace cli
