#include "common/TextRules.h"

#include <climits>
#include <cstring>

namespace text {

namespace {

// The first occurrence of `key` (not empty) at or after `from`, at any byte.
// Keys are labels of a few bytes and records a hundred or so: the first byte
// is found with memchr and the rest compared in place, without the calls the
// library's search makes for every candidate.
size_t Occurrence(std::string_view s, std::string_view key, size_t from) {
  const size_t last = s.size() - key.size();  // the last position a match can start at
  while (from <= last) {
    const void* found = std::memchr(s.data() + from, key[0], last - from + 1);
    if (!found) return std::string_view::npos;
    const size_t at = static_cast<size_t>(static_cast<const char*>(found) - s.data());
    size_t i = 1;
    while (i < key.size() && s[at + i] == key[i]) ++i;
    if (i == key.size()) return at;
    from = at + 1;
  }
  return std::string_view::npos;
}

}  // namespace

int Pos(std::string_view s, std::string_view key) {
  if (key.empty()) return 0;
  // The key's occurrences are found by the library's search; one is a match
  // when the walk over the characters lands on it. From the last byte before
  // it that is no lead byte (the walk lands right after such a byte), or from
  // where the walk began, the walk steps by two through lead bytes, so the
  // parity of the distance decides. The bytes looked back over lie between
  // two occurrences, so each byte is read a bounded number of times.
  size_t start = 0;  // a character start of the walk
  while (start + key.size() <= s.size()) {
    const size_t hit = Occurrence(s, key, start);
    if (hit == std::string_view::npos) return -1;
    size_t landing = hit;
    while (landing > start && IsLeadByte(s[landing - 1])) --landing;
    if ((hit - landing) % 2 == 0) return static_cast<int>(hit);
    // The lead byte before the hit starts a character that covers it; the
    // walk goes on right after that character.
    start = hit + 1;
  }
  return -1;
}

size_t CharLength(std::string_view s, size_t pos) {
  return IsLeadByte(s[pos]) && pos + 1 < s.size() ? 2 : 1;
}

std::string_view From(std::string_view s, int p) {
  if (p < 0) p = 0;
  if (static_cast<size_t>(p) >= s.size()) return {};
  return s.substr(static_cast<size_t>(p));
}

std::string_view CutAt(std::string_view s, std::string_view t) {
  const int p = Pos(s, t);
  if (p < 0) return {};
  return s.substr(0, static_cast<size_t>(p));
}

std::string_view FirstN(std::string_view s, int n) {
  if (n <= 0) return {};
  return s.substr(0, static_cast<size_t>(n));
}

std::string_view Mid(std::string_view s, int p, int n) {
  return FirstN(From(s, p), n);
}

std::string_view TrimRight(std::string_view s) {
  size_t end = s.size();
  while (end > 0) {
    const char c = s[end - 1];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
      --end;
    } else {
      break;
    }
  }
  return s.substr(0, end);
}

int LeadingInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' ||
                          s[i] == '\v' || s[i] == '\f')) {
    ++i;
  }
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  long long value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    value = value * 10 + (s[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturate like strtol/atoi range
    ++i;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace text
