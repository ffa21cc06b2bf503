#include "common/SharedModule.h"

#include <windows.h>

#include "common/Utf16.h"

namespace sharedmodule {

void* LoadSymbol(const std::string& path, const char* name, std::string& error) {
  HMODULE library = ::LoadLibraryW(utf16::FromUtf8(path).c_str());
  if (!library) {
    error = "it could not be loaded (error " + std::to_string(::GetLastError()) + ")";
    return nullptr;
  }
  void* symbol = reinterpret_cast<void*>(::GetProcAddress(library, name));
  if (!symbol) error = std::string(name) + " is missing";
  return symbol;
}

}  // namespace sharedmodule
