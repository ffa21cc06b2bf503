// The reports of km360r-cli on Linux: drawn by km360r-cli-report.so, loaded
// from beside the executable the first time a report is asked for. Every
// other command runs without Qt's libraries; when the module cannot be
// loaded, the report commands say why and do nothing.
#include "cli/ReportRun.h"

#include <cstdio>
#include <cstring>

#include "cli/ReportModule.h"
#include "common/Language.h"
#include "common/SharedModule.h"

namespace cli {
namespace {

struct LoadedModule {
  std::string path;
  TableReportEntry table = nullptr;
  JobReportEntry job = nullptr;
  std::string error;  // empty once loaded
};

LoadedModule Load() {
  LoadedModule m;
  m.path = lang::ProgramDirectory() + kReportModuleFile;
  const auto version = reinterpret_cast<ReportModuleVersion>(
      sharedmodule::LoadSymbol(m.path, kReportModuleVersionSymbol, m.error));
  if (!version) return m;
  if (std::strcmp(version(), KM360R_VERSION) != 0) {
    m.error = std::string("it belongs to version ") + version() + ", not " + KM360R_VERSION;
    return m;
  }
  m.table = reinterpret_cast<TableReportEntry>(sharedmodule::LoadSymbol(m.path, kTableReportSymbol, m.error));
  if (m.table) m.job = reinterpret_cast<JobReportEntry>(sharedmodule::LoadSymbol(m.path, kJobReportSymbol, m.error));
  return m;
}

const LoadedModule& Module() {
  static const LoadedModule m = Load();
  return m;
}

int SayMissing(const Options& o) {
  std::fprintf(stderr, "km360r-cli: %s\n", ReportMissing(o).c_str());
  return kExitUsage;
}

}  // namespace

std::string ReportMissing(const Options& o) {
  const LoadedModule& m = Module();
  if (m.error.empty()) return {};
  return ReportInChinese(o) ? "无法载入报告模块 " + m.path + "（" + m.error + "）：没有它，km360r-cli 不能生成 PDF 报告"
                            : "the report module " + m.path + " could not be loaded (" + m.error +
                                  "): without it km360r-cli makes no PDF report";
}

int TableReport(const Options& o) {
  if (!Module().error.empty()) return SayMissing(o);
  return Module().table(o);
}

int JobReport(jobs::IResultsReader& store, const Options& o) {
  if (!Module().error.empty()) return SayMissing(o);
  return Module().job(store, o);
}

}  // namespace cli
