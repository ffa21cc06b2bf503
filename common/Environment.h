#pragma once
// The process's environment and the user's folders, as UTF-8 text.
#include <optional>
#include <string>
#include <vector>

namespace environment {

// The variable's value; nullopt when it is not set or empty.
std::optional<std::string> Variable(const char* name);

// The folder for the user's own data, without a separator at its end:
// $XDG_DATA_HOME (when absolute), else $HOME/.local/share on Linux;
// %LOCALAPPDATA% on Windows.
std::string UserDataFolder();

// The program's command line as UTF-8, its name first: argv as given on Linux;
// on Windows the wide command line, because argv there is in the ANSI code
// page, which cannot hold every file name a technician types.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace environment
