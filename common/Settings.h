#pragma once
// What config.ini says, as one typed value. The program reads the file here
// and nowhere else, once at start, and hands the value down to the station,
// the main window and the pages. The settings dialogs and the About box are
// the exception by design: they follow an edit of the file made while the
// program runs, so they are handed the value read at their opening.
#include <optional>
#include <string>

#include "common/Language.h"

namespace config {

struct Settings {
  // The raw text of [config] `language` ("" when absent); the language rule
  // (lang::Resolve) makes an index of it.
  std::string language;
  // [config] `drive`: read with the language; nothing uses it.
  std::string drive;
  // [config] `server`: the team server a sync goes to when neither --server
  // nor KM360R_SERVER names one.
  std::string server;

  std::optional<lang::Index> LanguageIndex() const { return lang::Resolve(language); }

  // config.ini beside the executable; a missing file or key gives "".
  static Settings Read();
  static Settings ReadFrom(const std::string& path);
};

}  // namespace config
