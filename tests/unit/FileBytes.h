#pragma once
// A file's bytes as they are on disk: what a test compares written files by.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Empty when the file cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
