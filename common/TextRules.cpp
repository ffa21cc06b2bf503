#include "common/TextRules.h"

#include <climits>
#include <cstring>

namespace text {

int Pos(std::string_view s, std::string_view key) {
  if (key.empty()) return 0;
  const size_t n = s.size();
  const size_t k = key.size();
  if (k > n) return -1;
  const char first = key[0];
  size_t i = 0;
  while (i + k <= n) {
    if (s[i] == first && std::memcmp(s.data() + i, key.data(), k) == 0) {
      return static_cast<int>(i);
    }
    i += (IsLeadByte(s[i]) && i + 1 < n) ? 2 : 1;
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
