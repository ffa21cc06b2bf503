#pragma once
// The PDF reports as a module of their own on Linux: km360r-cli-report.so,
// beside km360r-cli, holds the reports and Qt's painter, so only `report`
// and `job report` load Qt. The module is built with the program it belongs
// to and resolves the program's own code from it; these are the names and
// shapes of what it offers.
#include "cli/Options.h"
#include "jobs/ResultsStore.h"

namespace cli {

inline constexpr const char* kReportModuleFile = "km360r-cli-report.so";

// The program's version, which the module must have been built with: a
// module of another build may lay out the options differently.
inline constexpr const char* kReportModuleVersionSymbol = "km360r_report_module_version";
using ReportModuleVersion = const char* (*)();

inline constexpr const char* kTableReportSymbol = "km360r_table_report";
using TableReportEntry = int (*)(const Options&);

inline constexpr const char* kJobReportSymbol = "km360r_job_report";
using JobReportEntry = int (*)(jobs::IResultsReader&, const Options&);

}  // namespace cli
