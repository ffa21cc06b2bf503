#pragma once
// The Help command: the compiled help file of the main window's language, in
// the program's directory, opened with the desktop's handler for it. Without
// a language index the directory itself is opened. When the file is not
// there, or no program on this desktop can open it, the operator is told so.
#include <functional>
#include <optional>
#include <string>

#include "app/Prompter.h"
#include "common/Language.h"

namespace help {

// "help_sc.chm", "help_qtv_e.chm", "help_c.chm", "help_e.chm"; "" without an index.
std::string FileName(std::optional<lang::Index> index);

// The desktop's "open": hands `path` to the handler the desktop has for it and
// reports once whether a handler took it. The report may come later, from the
// window system's event loop.
class IDesktop {
 public:
  virtual ~IDesktop() = default;
  virtual void Open(const std::string& path, std::function<void(bool opened)> done) = 0;
};

// The boxes' texts: in the language's tongue, in both without an index.
std::string MissingFileText(std::optional<lang::Index> index, const std::string& path);
std::string NoHandlerText(std::optional<lang::Index> index, const std::string& path);

// Opens the help of `languageSetting` (the raw config.ini value the main
// window read) found in `programDir` (ending with "/"). Boxes go to
// `prompter`, which must outlive a late report from `desktop`.
void Open(const std::string& languageSetting, const std::string& programDir, IDesktop& desktop,
          IPrompter& prompter);

}  // namespace help
