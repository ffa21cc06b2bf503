#pragma once
#include <optional>
#include <string>

namespace jobs {
// The results store to use: `chosen` (--store) when given, else
// $KM360R_STORE, else $XDG_DATA_HOME/km360r/results.sqlite, else
// ~/.local/share/km360r/results.sqlite. Empty variables count as unset.
std::string StorePath(const std::optional<std::string>& chosen);
}  // namespace jobs
