#include "cli/OutputChecks.h"

#include <cstdio>

#include "table/DataFiles.h"
#include "common/FileAccess.h"

namespace cli {

bool RefusedOutput(const std::string& path) {
  const std::string refused = fileaccess::RefusedTarget(path);
  if (refused.empty()) return false;
  std::fprintf(stderr, "km360r-cli: cannot write %s (%s)\n", path.c_str(), refused.c_str());
  return true;
}

void NoteUnreadName(const std::string& path) {
  if (datafile::TypeOfPath(path) != datafile::FileType::None) return;
  std::fprintf(stderr,
               "km360r-cli: %s: no rows read; only files whose names end in .ref, .hif or "
               ".syf (lower case) are read\n",
               path.c_str());
}

}  // namespace cli
