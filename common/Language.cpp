#include "common/Language.h"

#include <unistd.h>

#include <climits>


namespace lang {

std::optional<Index> Resolve(const std::string& setting) {
  if (setting.find('0') != std::string::npos) return Index::Zero;
  if (setting.find('1') != std::string::npos) return Index::One;
  if (setting.find('2') != std::string::npos) return Index::Two;
  if (setting.find('3') != std::string::npos) return Index::Three;
  return std::nullopt;
}

std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string full(path, static_cast<size_t>(n));
  const size_t slash = full.rfind('/');
  return slash == std::string::npos ? std::string("./") : full.substr(0, slash + 1);
}

std::string ConfigPath() { return ProgramDirectory() + "config.ini"; }

}  // namespace lang
