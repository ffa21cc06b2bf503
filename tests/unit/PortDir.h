#pragma once
// A temporary port directory for KM360R_PORT_DIR, set for the lifetime of the
// object and removed with its entries afterwards.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ScopedPortDir {
 public:
  ScopedPortDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "km360r-ports.XXXXXX").string();
    m_dir = ::mkdtemp(tmpl.data());
    ::setenv("KM360R_PORT_DIR", m_dir.c_str(), 1);
  }
  ~ScopedPortDir() {
    ::unsetenv("KM360R_PORT_DIR");
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  const std::string& Path() const { return m_dir; }
  std::string Entry(const std::string& com) const { return m_dir + "/" + com; }
  void Link(const std::string& com, const std::string& target) const {
    std::filesystem::create_symlink(target, Entry(com));
  }

 private:
  std::string m_dir;
};
