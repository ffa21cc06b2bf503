#pragma once
// A new empty folder under the system's temporary folder, for one test.
#include <filesystem>
#include <random>
#include <string>

inline std::string NewTempFolder(const std::string& prefix) {
  std::random_device random;
  for (;;) {
    const std::filesystem::path p =
        std::filesystem::temp_directory_path() / (prefix + "." + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) return p.string();
    if (ec) return {};
  }
}
