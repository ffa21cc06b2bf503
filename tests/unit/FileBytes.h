#pragma once
// A file's bytes as they are on disk: what a test compares written files by.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Empty when the file cannot be read, a folder included.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
