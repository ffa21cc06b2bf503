#pragma once
// The PDF reports: `report FILE OUT.pdf` (the table page's test report) and
// `job report NAME OUT.pdf`. Both draw with the painter of the program's
// printer, which is Qt's; a build without Qt has neither, and says so.
#include <string>

#include "cli/Options.h"
#include "jobs/ResultsStore.h"

namespace cli {

// Languages 0 and 2 print the report in Chinese, 1 and 3 in English.
bool ReportInChinese(const Options& o);

// Empty when this build draws reports, else the sentence (in the report's
// language) that says it does not.
std::string ReportMissing(const Options& o);

// Opens FILE as show does, then prints its table as the test report into
// OUT.pdf through the program's Print command; returns the exit code.
int TableReport(const Options& o);

// Draws the named job's report into OUT.pdf; returns the exit code.
int JobReport(jobs::IResultsReader& store, const Options& o);

}  // namespace cli
