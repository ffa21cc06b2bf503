#include "common/SharedModule.h"

#include <dlfcn.h>

namespace sharedmodule {
namespace {

// The system's reason without the library's path in front, which the
// caller names itself.
std::string Reason(const std::string& path) {
  const char* text = ::dlerror();
  std::string reason = text ? text : "it could not be opened";
  if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
  return reason;
}

}  // namespace

void* LoadSymbol(const std::string& path, const char* name, std::string& error) {
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    error = Reason(path);
    return nullptr;
  }
  void* symbol = ::dlsym(library, name);
  if (!symbol) error = Reason(path);
  return symbol;
}

}  // namespace sharedmodule
