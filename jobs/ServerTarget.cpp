#include "jobs/ServerTarget.h"

#include <cstdlib>


namespace jobs {

std::string NamedServer(const std::optional<std::string>& chosen) {
  if (chosen) return *chosen;
  const char* env = std::getenv("KM360R_SERVER");
  return env ? env : "";
}

std::string ServerTarget(const std::optional<std::string>& chosen, const std::string& configured) {
  const std::string named = NamedServer(chosen);
  return named.empty() ? configured : named;
}

}  // namespace jobs
