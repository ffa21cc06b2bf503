#include <optional>

#include "cli/MeterSession.h"
#include "cli/ReportRun.h"
#include "common/Language.h"

namespace cli {

// Languages 0 and 2 print the report in Chinese, 1 and 3 in English.
bool ReportInChinese(const Options& o) {
  const std::optional<lang::Index> index = lang::Resolve(LanguageValue(o));
  return index && lang::IsChinese(*index);
}

}  // namespace cli
