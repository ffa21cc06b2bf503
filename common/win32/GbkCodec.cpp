#include "common/GbkCodec.h"

#include <windows.h>

namespace gbk::codec {

namespace {

constexpr UINT kGbk = 936;

// One character of code page `from` as UTF-16, or false when it is none.
bool ToWide(UINT from, std::string_view character, wchar_t (&wide)[2], int& length) {
  length = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, character.data(), static_cast<int>(character.size()),
                               wide, 2);
  return length > 0;
}

// UTF-16 as code page `to`, or false when `to` cannot hold it. For GBK no
// look-alike is taken ("best fit"): a character GBK lacks is one it lacks.
bool FromWide(UINT to, const wchar_t* wide, int length, std::string& out) {
  char buffer[8];
  BOOL usedDefault = FALSE;
  const bool gbk = to == kGbk;
  const int n = WideCharToMultiByte(to, gbk ? WC_NO_BEST_FIT_CHARS : 0, wide, length, buffer, sizeof buffer,
                                    nullptr, gbk ? &usedDefault : nullptr);
  if (n <= 0 || usedDefault) return false;
  // Code page 936 gives the euro sign the single byte 0x80; GBK has no such
  // byte, and the Linux converter neither reads nor writes it.
  if (gbk && n == 1 && static_cast<unsigned char>(buffer[0]) == 0x80) return false;
  out.append(buffer, static_cast<size_t>(n));
  return true;
}

size_t CharacterLength(Direction direction, unsigned char lead) {
  if (lead < 0x80) return 1;
  if (direction == Direction::GbkToUtf8) return 2;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;  // no lead byte: refused below
}

}  // namespace

size_t ConvertStart(Direction direction, std::string_view in, std::string& out) {
  const UINT from = direction == Direction::GbkToUtf8 ? kGbk : CP_UTF8;
  const UINT to = direction == Direction::GbkToUtf8 ? CP_UTF8 : kGbk;
  size_t taken = 0;
  while (taken < in.size()) {
    const auto lead = static_cast<unsigned char>(in[taken]);
    if (lead < 0x80) {  // the same byte in both
      out += static_cast<char>(lead);
      ++taken;
      continue;
    }
    if (direction == Direction::GbkToUtf8 && (lead == 0x80 || lead == 0xFF)) break;
    const size_t length = CharacterLength(direction, lead);
    if (taken + length > in.size()) break;
    wchar_t wide[2];
    int wideLength = 0;
    if (!ToWide(from, in.substr(taken, length), wide, wideLength)) break;
    // Two GBK bytes are one character: not one replaced and one kept.
    if (direction == Direction::GbkToUtf8 && wideLength != 1) break;
    if (!FromWide(to, wide, wideLength, out)) break;
    taken += length;
  }
  return taken;
}

}  // namespace gbk::codec
