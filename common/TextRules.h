#pragma once
// The rules by which meter records and data files are searched and cut.
// Records are GBK byte strings: every position and length counts bytes, and a
// search only matches at character starts, so an ASCII label such as "W" or
// "nm" never matches the trail byte of a Chinese character. A missing text has
// position -1 and the arithmetic carries on with it, exactly as the meter's
// record offsets were designed around.
#include <string>
#include <string_view>

namespace text {

// Position of the first occurrence of `key` in `s` at a character start, or -1.
int Pos(std::string_view s, std::string_view key);

// True when `s` contains `key` (the same search as Pos).
inline bool Contains(std::string_view s, std::string_view key) { return Pos(s, key) >= 0; }

// The bytes from position p to the end; p below 0 counts as 0.
std::string_view From(std::string_view s, int p);

// The bytes before the first occurrence of t; empty when t does not occur.
std::string_view CutAt(std::string_view s, std::string_view t);

// The first n bytes; empty when n is 0 or negative, clipped at the end.
std::string_view FirstN(std::string_view s, int n);

// n bytes from position p (p below 0 counts as 0), clipped at the end.
std::string_view Mid(std::string_view s, int p, int n);

// A GBK lead byte: with the byte after it, it makes one two-byte character.
inline bool IsLeadByte(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 0x81 && u <= 0xFE;
}

// Bytes of the character that starts at `pos`: two for a GBK lead byte with a
// byte after it, else one.
size_t CharLength(std::string_view s, size_t pos);

// An ASCII digit, whatever the C locale says (meter texts and spreadsheet
// numbers are written with ASCII digits only).
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `s` without trailing blanks, tabs, CR and LF.
std::string_view TrimRight(std::string_view s);

// The leading integer of a value text as a standard decimal conversion reads it:
// leading white space skipped, an optional sign, digits up to the first other
// character; 0 when there are none. "-12.34" gives -12.
int LeadingInt(std::string_view s);

}  // namespace text
