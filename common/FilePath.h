#pragma once
// A file name as the program holds it (UTF-8 text) as a path for the standard
// library's files: on Windows the UTF-8 is read as such, not in the system's
// ANSI code page, so Chinese names work; on Linux the bytes stay as they are.
#include <filesystem>
#include <string>
#include <string_view>

namespace filepath {

inline std::filesystem::path Of(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

}  // namespace filepath
