#include "jobs/ServerTarget.h"

#include "common/Environment.h"

namespace jobs {

std::string NamedServer(const std::optional<std::string>& chosen) {
  if (chosen) return *chosen;
  return environment::Variable("KM360R_SERVER").value_or("");
}

std::string ServerTarget(const std::optional<std::string>& chosen, const std::string& configured) {
  const std::string named = NamedServer(chosen);
  return named.empty() ? configured : named;
}

}  // namespace jobs
