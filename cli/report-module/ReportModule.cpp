// The entry points of km360r-cli-report.so: the reports of cli/report/,
// reached by km360r-cli through cli/report-loader/.
#include "cli/ReportModule.h"

#include "cli/ReportRun.h"

#define KM360R_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

KM360R_MODULE_ENTRY const char* km360r_report_module_version() { return KM360R_VERSION; }

KM360R_MODULE_ENTRY int km360r_table_report(const cli::Options& o) { return cli::TableReport(o); }

KM360R_MODULE_ENTRY int km360r_job_report(jobs::IResultsReader& store, const cli::Options& o) {
  return cli::JobReport(store, o);
}
