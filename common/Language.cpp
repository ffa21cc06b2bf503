#include "common/Language.h"

#include "common/IniReader.h"

namespace lang {

std::optional<Index> Resolve(const std::string& setting) {
  if (setting.find('0') != std::string::npos) return Index::Zero;
  if (setting.find('1') != std::string::npos) return Index::One;
  if (setting.find('2') != std::string::npos) return Index::Two;
  if (setting.find('3') != std::string::npos) return Index::Three;
  return std::nullopt;
}

std::string ConfigPath() { return ProgramDirectory() + "config.ini"; }

std::string ReadSetting() {
  return CIniReader(ConfigPath()).GetValue("config", "language", "");
}

}  // namespace lang
