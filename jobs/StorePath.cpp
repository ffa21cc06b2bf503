#include "jobs/StorePath.h"

#include <cstdlib>

namespace jobs {

namespace {
std::optional<std::string> Variable(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}
}  // namespace

std::string StorePath(const std::optional<std::string>& chosen) {
  if (chosen) return *chosen;
  if (auto store = Variable("KM360R_STORE")) return *store;
  // XDG: a relative XDG_DATA_HOME is invalid and ignored.
  if (auto data = Variable("XDG_DATA_HOME"); data && data->front() == '/') return *data + "/km360r/results.sqlite";
  return Variable("HOME").value_or("") + "/.local/share/km360r/results.sqlite";
}

}  // namespace jobs
