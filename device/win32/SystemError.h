#pragma once
// Windows error codes in the program's terms: the system's own wording for the
// driver error box, and the <cerrno> value ISerialPort::LastOpenError promises.
#include <cstdint>
#include <string>

namespace winports {

// FormatMessageW's text for `code` as UTF-8, without its closing line break
// ("Access denied." for ERROR_ACCESS_DENIED); "Error N" when the system has
// no text for it.
std::string SystemErrorText(uint32_t code);

// The errno value an Open failure with `code` stands for: ENOENT for a port
// that does not exist, EBUSY for one another program holds, EIO otherwise.
int OpenErrnoFor(uint32_t code);

}  // namespace winports
