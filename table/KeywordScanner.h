#pragma once
// Repeated keyword searches over shrinking suffixes of one text, with the
// result text::Pos would give for each suffix, in linear total time.
//
// The file loaders search the rest of a file for the next record keyword and
// end label after every record. When a label is missing, the rest moves on by
// one byte per record, and a plain search from each new start would rescan the
// whole rest every time. Because searching only matches at character starts,
// a search from a start one byte later reads different characters at first,
// but as soon as both searches stand on the same character start they read
// the same characters to the end, and the earlier answer holds.
#include <string_view>

class KeywordScanner {
 public:
  KeywordScanner(std::string_view text, std::string_view key) : m_text(text), m_key(key) {}

  // text::Pos(text.substr(start), key) + start, or -1. Starts given to one
  // scanner must not decrease.
  long Find(size_t start);

 private:
  size_t Step(size_t i) const;
  bool MatchAt(size_t i) const;
  long Scan(size_t from) const;

  std::string_view m_text;
  std::string_view m_key;
  // The last full search: from m_memoStart it found m_memoResult (or -1).
  bool m_bMemo = false;
  size_t m_memoStart = 0;
  long m_memoResult = -1;
  size_t m_memoCursor = 0;  // a character start of that search, moved forward lazily
};
