#pragma once
// The keyboard's lock lamps, for the status bar's CAP, NUM and SCRL panes.
// Linux exposes them as LED class devices ("input3::capslock" and so on);
// where none exists the state is unknown and the panes show "off".
#include <optional>
#include <string>

struct KeyLockStates {
  std::optional<bool> caps;
  std::optional<bool> num;
  std::optional<bool> scroll;
  bool operator==(const KeyLockStates&) const = default;
};

// Reads the lamps below `ledDirectory` (normally /sys/class/leds). A lock is
// on when any keyboard shows it lit.
KeyLockStates ReadKeyLockStates(const std::string& ledDirectory = "/sys/class/leds");
