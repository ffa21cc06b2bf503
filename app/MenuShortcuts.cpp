#include "app/MenuShortcuts.h"

#include <functional>
#include <set>

namespace cmd {

std::map<int, std::string> MenuShortcuts(const std::vector<MenuEntry>& menuBar) {
  std::map<int, std::string> shortcuts;
  std::set<std::string> taken;
  std::function<void(const std::vector<MenuEntry>&)> walk = [&](const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
      if (e.kind == MenuEntry::Kind::Popup) walk(e.children);
      if (e.kind != MenuEntry::Kind::Command) continue;
      const size_t tab = e.text.find('\t');
      if (tab == std::string::npos) continue;
      const std::string key = e.text.substr(tab + 1);
      if (key.empty() || !taken.insert(key).second) continue;
      shortcuts.emplace(e.id, key);
    }
  };
  walk(menuBar);
  return shortcuts;
}

}  // namespace cmd
