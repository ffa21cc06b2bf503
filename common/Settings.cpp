#include "common/Settings.h"

#include "common/IniReader.h"

namespace config {

Settings Settings::Read() { return ReadFrom(lang::ConfigPath()); }

Settings Settings::ReadFrom(const std::string& path) {
  const CIniReader file(path);
  Settings s;
  s.language = file.GetValue("config", "language", "");
  s.drive = file.GetValue("config", "drive", "");
  s.server = file.GetValue("config", "server", "");
  return s;
}

}  // namespace config
