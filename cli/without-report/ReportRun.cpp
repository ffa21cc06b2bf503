// The reports of a build without Qt: each says that this build has none.
#include "cli/ReportRun.h"

#include <cstdio>

namespace cli {

std::string ReportMissing(const Options& o) {
  return ReportInChinese(o) ? "此版本的 km360r-cli 没有报告功能：PDF 报告需要带 Qt 构建的版本"
                            : "this build of km360r-cli has no report: PDF reports need a build with Qt";
}

int TableReport(const Options& o) {
  std::fprintf(stderr, "km360r-cli: %s\n", ReportMissing(o).c_str());
  return kExitUsage;
}

int JobReport(jobs::IResultsReader&, const Options& o) { return TableReport(o); }

}  // namespace cli
