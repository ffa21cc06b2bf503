#pragma once
// Checks the file commands make on the files they are named.
#include <string>

namespace cli {

// A file the command will write that is there but no regular file (a named
// pipe, a device, a folder) is refused before anything else is done: a pipe
// would hold the run until a reader came, a device would swallow the file.
// True (with the reason printed) when refused.
bool RefusedOutput(const std::string& path);

// Open reads only lower-case .ref, .hif and .syf names; any other file gives
// the empty table, as in the program, but a script should learn why.
void NoteUnreadName(const std::string& path);

}  // namespace cli
