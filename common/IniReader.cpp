#include "common/IniReader.h"

#include <fstream>
#include <iterator>

#include "common/TextRules.h"
#include "common/FilePath.h"

std::string CIniReader::GetValue(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  if (section.empty() || key.empty()) return def;

  std::ifstream in(filepath::Of(m_strPath), std::ios::binary);
  if (!in) return def;
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || raw.empty()) return def;

  // The text ends at the first NUL byte.
  if (const size_t nul = raw.find('\0'); nul != std::string::npos) raw.resize(nul);

  // CR LF and LF both end a line: fold CR LF into LF so one search serves both.
  std::string content;
  content.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    content += raw[i];
  }

  const std::string header = "[" + section + "]\n";
  const int headerPos = text::Pos(content, header);
  if (headerPos < 0) return def;
  const std::string_view afterHeader =
      text::From(content, headerPos + static_cast<int>(header.size()));

  const int keyPos = text::Pos(afterHeader, key + "=");
  if (keyPos < 0) return def;
  const std::string_view fromValue =
      text::From(afterHeader, keyPos + static_cast<int>(key.size()) + 1);

  const int lineEnd = text::Pos(fromValue, "\n");
  if (lineEnd < 0) return def;
  return std::string(fromValue.substr(0, static_cast<size_t>(lineEnd)));
}
