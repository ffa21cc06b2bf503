#include "common/Environment.h"

#include <cstdlib>

namespace environment {

std::optional<std::string> Variable(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}

std::string UserDataFolder() {
  // XDG: a relative XDG_DATA_HOME is invalid and ignored.
  if (auto data = Variable("XDG_DATA_HOME"); data && data->front() == '/') return *data;
  return Variable("HOME").value_or("") + "/.local/share";
}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace environment
