#include "table/KeywordScanner.h"

#include <cstring>

#include "common/TextRules.h"

bool KeywordScanner::EndsRun(size_t i) const {
  return !text::IsLeadByte(m_text[i]) || i + 1 == m_text.size();
}

bool KeywordScanner::MatchAt(size_t i) {
  ++m_nExamined;
  return i + m_key.size() <= m_text.size() &&
         std::memcmp(m_text.data() + i, m_key.data(), m_key.size()) == 0;
}

long KeywordScanner::Scan(size_t from) {
  // `from` is a character start of every walk that reaches it, so the walk
  // from there is text::Pos's own.
  const int found = text::Pos(m_text.substr(from), m_key);
  m_nExamined += found < 0 ? m_text.size() - from : static_cast<size_t>(found) + m_key.size();
  return found < 0 ? -1 : static_cast<long>(from) + found;
}

long KeywordScanner::Find(size_t start) {
  if (m_key.empty()) return static_cast<long>(start);
  if (start >= m_text.size()) return -1;

  // The run of lead bytes from `start`: a later start inside the same run
  // reuses it, so each byte is read once to find where runs end.
  if (!m_bRun || start > m_runEnd) {
    size_t end = start;
    while (!EndsRun(end)) {
      ++m_nExamined;
      ++end;
    }
    ++m_nExamined;
    m_bRun = true;
    m_runEnd = end;
    m_class[0] = m_class[1] = ClassMemo{};
  }

  // Inside the run the walk steps by two. An earlier start of the same parity
  // visited every position this one visits; its first match stands unless
  // this start has passed it.
  ClassMemo& memo = m_class[start % 2];
  if (!memo.valid || (memo.match != kNone && memo.match < start)) {
    memo.valid = true;
    memo.match = kNone;
    for (size_t i = start; i <= m_runEnd; i += 2) {
      if (MatchAt(i)) {
        memo.match = i;
        break;
      }
    }
  }
  if (memo.match != kNone) return static_cast<long>(memo.match);

  // Every walk from the run leaves it through the byte after its end, as did
  // every walk from an earlier meeting point: the earlier point's first match
  // holds if it lies at or beyond this one.
  const size_t meet = m_runEnd + 1;
  if (m_bMeet && (m_meetResult < 0 || static_cast<size_t>(m_meetResult) >= meet)) {
    return m_meetResult;
  }
  m_bMeet = true;
  m_meetResult = Scan(meet);
  return m_meetResult;
}
