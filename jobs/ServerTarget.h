#pragma once
#include <optional>
#include <string>

namespace jobs {
// The team server named for this run: `chosen` (--server) when given, else
// $KM360R_SERVER (an empty variable counts as unset); empty when neither.
std::string NamedServer(const std::optional<std::string>& chosen);

// The team server to sync with: the one named for this run, else
// `configured`, the `server` value of the program's settings (config.ini,
// which the window and km360r-cli share). Empty when none names a server.
std::string ServerTarget(const std::optional<std::string>& chosen, const std::string& configured);
}  // namespace jobs
