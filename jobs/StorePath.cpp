#include "jobs/StorePath.h"

#include "common/Environment.h"

namespace jobs {

std::string StorePath(const std::optional<std::string>& chosen) {
  if (chosen) return *chosen;
  if (auto store = environment::Variable("KM360R_STORE")) return *store;
  return environment::UserDataFolder() + "/km360r/results.sqlite";
}

}  // namespace jobs
