#pragma once
// The job report handed to the customer or the office: who measured where and
// when against which limits, a summary of the verdicts, and one table row per
// point with each wavelength's power, linear power and loss. Drawn on the
// test report's device, so it goes to a printer or a PDF file alike.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "jobs/JobTable.h"
#include "jobs/ResultsStore.h"
#include "print/ReportDevice.h"

namespace jobs {

// Printed in red and in amber; black elsewhere.
inline constexpr report::Color kFailColor{0xC0, 0x00, 0x00};
inline constexpr report::Color kMarginalColor{0xD0, 0x80, 0x00};

// The counts of the summary: a point counts by the worst verdict of its
// latest results.
struct ReportSummary {
  int points = 0;
  int pass = 0;
  int marginal = 0;
  int fail = 0;
  int noLimit = 0;
  int untested = 0;
};
ReportSummary SummaryOf(const std::vector<JobRow>& rows);

// The worst of a point's verdicts: FAIL, then MARGINAL, PASS, NO LIMIT.
Verdict Worst(Verdict a, Verdict b);

struct JobReportRequest {
  Job job;
  std::vector<JobRow> rows;  // as JobRows gives them
  bool chinese = false;
  std::string printed;       // the date and time printed in the header
};

enum class JobReportOutcome { Printed, Cancelled, Failed };

// Lets the operator choose the printer, then draws the report. A failure
// leaves nothing half printed: the document is dropped.
JobReportOutcome PrintJobReport(report::IReportDevice& device, const JobReportRequest& request);

// What the report of the stored job `name` shows, printed at `now`; nullopt
// when the store has no such job. The window's Print of a job and
// `km360r-cli job report` both start here.
std::optional<JobReportRequest> StoredJobReport(IResultsReader& store, const std::string& name, bool chinese,
                                                std::time_t now);

// The message when the report could not be printed (UTF-8).
std::string JobReportFailureText(bool chinese);
// The message when the report was printed to the file at `path` (UTF-8).
std::string JobReportFileText(bool chinese, const std::string& path);

}  // namespace jobs
