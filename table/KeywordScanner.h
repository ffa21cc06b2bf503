#pragma once
// Repeated keyword searches over shrinking suffixes of one text, with the
// result text::Pos would give for each suffix, in linear total time for every
// text and every non-decreasing sequence of starts.
//
// The file loaders search the rest of a file for the next record keyword and
// end label after every record. A search only matches at character starts: it
// walks the text from its start, two bytes past a GBK lead byte (unless that is
// the last byte), one byte past anything else. So searches from different
// starts read different characters at first, and the text decides where they
// meet:
// - Every walk that starts at or before a byte b that is no lead byte (or the
//   last byte) passes through b + 1. The first match from such a meeting point
//   holds for every later start that meets there before that match.
// - Inside a run of lead bytes a walk from s visits s, s + 2, s + 4, ...: the
//   walks there fall into two classes by the parity of their start, and each
//   class keeps its own first match, moving forward only.
// Each byte is then read a bounded number of times over all searches.
#include <cstddef>
#include <string_view>

class KeywordScanner {
 public:
  KeywordScanner(std::string_view text, std::string_view key) : m_text(text), m_key(key) {}

  // text::Pos(text.substr(start), key) + start, or -1. Starts given to one
  // scanner must not decrease.
  long Find(size_t start);

  // Positions looked at so far (a byte read to find the end of a run of lead
  // bytes, or a comparison with the key), over all searches of this scanner.
  size_t PositionsExamined() const { return m_nExamined; }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // True for a byte that every walk passing it or landing on it leaves to the
  // byte after it: no lead byte, or the last byte of the text.
  bool EndsRun(size_t i) const;
  bool MatchAt(size_t i);
  long Scan(size_t from);

  std::string_view m_text;
  std::string_view m_key;

  // The run of lead bytes the last start fell in ends with the byte
  // m_runEnd (see EndsRun); every byte from that start up to it is a lead byte.
  bool m_bRun = false;
  size_t m_runEnd = 0;
  // For each parity class of starts in that run: the first match of the class
  // at or after its last start, up to m_runEnd, kNone for none.
  struct ClassMemo {
    bool valid = false;
    size_t match = kNone;
  };
  ClassMemo m_class[2];

  // What the last search from a meeting point found (or -1). Meeting points
  // only move forward with the starts.
  bool m_bMeet = false;
  long m_meetResult = -1;

  size_t m_nExamined = 0;
};
