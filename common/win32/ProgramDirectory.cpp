#include <windows.h>

#include <string>

#include "common/Language.h"
#include "common/Utf16.h"

namespace lang {

std::string ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".\\";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // cut short: a longer buffer
  }
  const std::string full = utf16::ToUtf8(path);
  const size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".\\") : full.substr(0, slash + 1);
}

}  // namespace lang
