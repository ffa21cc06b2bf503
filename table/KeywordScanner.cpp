#include "table/KeywordScanner.h"

#include <cstring>

size_t KeywordScanner::Step(size_t i) const {
  // A GBK lead byte starts a two-byte character, as in text::Pos.
  const unsigned char c = static_cast<unsigned char>(m_text[i]);
  return (c >= 0x81 && c <= 0xFE && i + 1 < m_text.size()) ? 2 : 1;
}

bool KeywordScanner::MatchAt(size_t i) const {
  return i + m_key.size() <= m_text.size() &&
         std::memcmp(m_text.data() + i, m_key.data(), m_key.size()) == 0;
}

long KeywordScanner::Scan(size_t from) const {
  for (size_t i = from; i + m_key.size() <= m_text.size(); i += Step(i)) {
    if (MatchAt(i)) return static_cast<long>(i);
  }
  return -1;
}

long KeywordScanner::Find(size_t start) {
  if (m_key.empty()) return static_cast<long>(start);
  const bool memoUsable = m_bMemo && start >= m_memoStart &&
                          (m_memoResult < 0 || start <= static_cast<size_t>(m_memoResult));
  if (memoUsable) {
    size_t i = start;
    while (i + m_key.size() <= m_text.size()) {
      if (m_memoResult >= 0 && i > static_cast<size_t>(m_memoResult)) break;  // no common start
      while (m_memoCursor < i) m_memoCursor += Step(m_memoCursor);
      if (m_memoCursor == i) return m_memoResult;  // same characters from here on
      if (MatchAt(i)) return static_cast<long>(i);
      i += Step(i);
    }
    if (i + m_key.size() > m_text.size()) return -1;
    const long found = Scan(i);
    m_memoStart = start;
    m_memoResult = found;
    m_memoCursor = start;
    return found;
  }
  const long found = Scan(start);
  m_bMemo = true;
  m_memoStart = start;
  m_memoResult = found;
  m_memoCursor = start;
  return found;
}
