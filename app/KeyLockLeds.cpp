#include "app/KeyLockLeds.h"

#include <filesystem>
#include <fstream>
#include <string_view>

namespace {

void Merge(std::optional<bool>& state, bool lit) { state = state.value_or(false) || lit; }

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

KeyLockStates ReadKeyLockStates(const std::string& ledDirectory) {
  KeyLockStates states;
  std::error_code ec;
  std::filesystem::directory_iterator it(ledDirectory, ec);
  if (ec) return states;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    std::optional<bool>* target = nullptr;
    if (EndsWith(name, "::capslock")) target = &states.caps;
    else if (EndsWith(name, "::numlock")) target = &states.num;
    else if (EndsWith(name, "::scrolllock")) target = &states.scroll;
    if (!target) continue;
    std::ifstream in(entry.path() / "brightness");
    int brightness = 0;
    if (!(in >> brightness)) continue;
    Merge(*target, brightness > 0);
  }
  return states;
}
