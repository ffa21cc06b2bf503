#pragma once
// Readings and cell edits that no file holds yet: the question asked before a
// command replaces or empties them, the window title that marks them, and the
// note that explains why Print leaves system parameters alone.
#include <optional>
#include <string>

#include "common/Language.h"

namespace unsaved {

// The question with its three buttons (UTF-8). The texts are Chinese for
// languages 0 and 2 and where the language names none, as the menus are.
struct Question {
  std::string text;
  std::string caption;
  std::string save;
  std::string discard;
  std::string cancel;
};
Question QuestionFor(std::optional<lang::Index> index);

// The window title: "*" while something is unsaved, then the file the table
// came from or went to (when there is one), then the window's own caption.
std::string Title(const std::string& caption, const std::string& fileName, bool unsaved);

// The last part of a path, for the title.
std::string FileNameOf(const std::string& path);

// The note pane's text when Print is asked for while system parameters are shown.
std::string ParametersNotPrinted(std::optional<lang::Index> index);

// The note pane's text when Save is asked for while the table holds nothing a
// data file keeps (nothing read yet, or the wavelength codes).
std::string NothingToSave(std::optional<lang::Index> index);

}  // namespace unsaved
