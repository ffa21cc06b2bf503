#pragma once
// The keys behind the key names the menus show ("\tCtrl+E"). Where two
// entries show the same key, the first in the menu bar's order gets it and
// the later one only shows it.
#include <map>
#include <string>
#include <vector>

#include "app/CommandSurface.h"

namespace cmd {

// Command id to key name ("Ctrl+E"), for every entry that shows a key.
std::map<int, std::string> MenuShortcuts(const std::vector<MenuEntry>& menuBar);

}  // namespace cmd
