#pragma once
// Reads one value out of config.ini. The file is read afresh at every call and
// never written: whoever installs the program prepares it.
#include <string>

class CIniReader {
 public:
  explicit CIniReader(std::string path) : m_strPath(std::move(path)) {}

  // The text between "key=" and the end of its line, unchanged (no trimming).
  // The section header must stand exactly as "[section]" on a line of its own;
  // the key is a plain, case-sensitive substring search from there to the end
  // of the file (it does not stop at the next section). Anything missing, an
  // empty or unreadable file, or a value on a last line without a line end,
  // gives `def`. Lines may end with CR LF or, as files saved on Linux do, LF.
  std::string GetValue(const std::string& section, const std::string& key,
                       const std::string& def) const;

  const std::string& Path() const { return m_strPath; }

 private:
  std::string m_strPath;
};
