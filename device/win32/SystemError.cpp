#include "device/win32/SystemError.h"

#include "common/Utf16.h"

#include <windows.h>

#include <cerrno>

namespace winports {

std::string SystemErrorText(uint32_t code) {
  wchar_t* wide = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&wide), 0, nullptr);
  std::string text = length > 0 && wide ? utf16::ToUtf8(std::wstring_view(wide, length)) : std::string();
  if (wide) LocalFree(wide);
  // The system ends its texts with a line break; the box puts its own.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "Error " + std::to_string(code);
  return text;
}

int OpenErrnoFor(uint32_t code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
      return ENOENT;
    // A COM port opened without sharing refuses every further opener with
    // "access denied": that is another program holding the port.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      return EBUSY;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return EIO;
  }
}

}  // namespace winports
