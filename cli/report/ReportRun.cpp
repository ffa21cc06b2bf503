#include "cli/ReportRun.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>

#include "cli/MeterSession.h"
#include "cli/OutputChecks.h"
#include "jobs/JobReport.h"
#include "print/TestReport.h"
#include "print/ui/PdfReport.h"
#include "common/FileAccess.h"

namespace cli {

std::string ReportMissing(const Options&) { return {}; }

// Opens FILE as Show does, then prints its table as the test report into
// OUT.pdf through the program's Print command. System parameters, which the
// program does not print, give no file. The PDF is written as Save writes a
// data file: beside OUT, then renamed, so an existing OUT stays whole unless
// the new one is complete.
int TableReport(const Options& o) {
  const std::string& out = o.operands[1];
  if (RefusedOutput(out)) return kExitFile;
  MeterSession s(o);
  const FileOutcome outcome = s.service.OpenFile(o.operands[0]);
  if (outcome.status == FileOutcome::Status::Failed) {
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return kExitFile;
  }
  s.Drain();
  NoteUnreadName(o.operands[0]);
  PdfReportOutput pdf;
  switch (s.service.OnPrint(pdf.Device())) {
    case report::Outcome::Printed: {
      const std::string reason = fileaccess::WriteFileReplacing(out, pdf.Bytes(), SIZE_MAX);
      if (reason.empty()) return kExitOk;
      std::fprintf(stderr, "%s %s (%s)\n", report::FailureText(s.texts.m_bChinese).c_str(), out.c_str(),
                   reason.c_str());
      return kExitFile;
    }
    case report::Outcome::NotPrinted:
      std::fprintf(stderr, "km360r-cli: %s: system parameters are not printed as a report\n",
                   o.operands[0].c_str());
      return kExitFile;
    case report::Outcome::Cancelled:
    case report::Outcome::Failed: break;  // the failure box has been printed
  }
  return kExitFile;
}

// Draws the job report into a PDF document in memory and writes it beside
// OUT, then renames it, so an existing OUT stays whole unless the new one is
// complete. A named pipe, a device or a folder at OUT is refused before the
// store is read: a pipe would hold the run until a reader came.
int JobReport(jobs::IResultsReader& store, const Options& o) {
  const std::string& name = o.job.operands[0];
  const std::string& out = o.job.operands[1];
  const bool chinese = ReportInChinese(o);
  const std::optional<jobs::JobReportRequest> request =
      jobs::StoredJobReport(store, name, chinese, std::time(nullptr));
  if (!request) {
    std::fprintf(stderr, "km360r-cli: there is no job named %s\n", name.c_str());
    return kExitUsage;
  }
  PdfReportOutput pdf;
  std::string reason;
  if (jobs::PrintJobReport(pdf.Device(), *request) != jobs::JobReportOutcome::Printed) {
    reason = "the document could not be drawn";
  } else {
    reason = fileaccess::WriteFileReplacing(out, pdf.Bytes(), SIZE_MAX);
  }
  if (reason.empty()) return kExitOk;
  std::fprintf(stderr, "%s %s (%s)\n", jobs::JobReportFailureText(chinese).c_str(), out.c_str(), reason.c_str());
  return kExitFile;
}

}  // namespace cli
