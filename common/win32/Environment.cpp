#include "common/Environment.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <string>

#include "common/Utf16.h"

namespace environment {

std::optional<std::string> Variable(const char* name) {
  const std::wstring wideName = utf16::FromUtf8(name);
  const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size <= 1) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
  if (n == 0 || n >= size) return std::nullopt;
  value.resize(n);
  return utf16::ToUtf8(value);
}

std::string UserDataFolder() {
  if (auto local = Variable("LOCALAPPDATA")) return *local;
  return Variable("USERPROFILE").value_or(".") + "\\AppData\\Local";
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(utf16::ToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace environment
