#include "jobs/ServerTarget.h"

#include <cstdlib>

#include "common/IniReader.h"
#include "common/Language.h"

namespace jobs {

std::string NamedServer(const std::optional<std::string>& chosen) {
  if (chosen) return *chosen;
  const char* env = std::getenv("KM360R_SERVER");
  return env ? env : "";
}

std::string ServerTarget(const std::optional<std::string>& chosen) {
  const std::string named = NamedServer(chosen);
  if (!named.empty()) return named;
  return CIniReader(lang::ConfigPath()).GetValue("config", "server", "");
}

}  // namespace jobs
