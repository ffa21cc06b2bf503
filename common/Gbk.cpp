#include "common/Gbk.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/GbkCodec.h"

namespace gbk {

namespace {

using codec::Direction;

// Converts `in`; an input sequence that cannot be converted is skipped by
// `badInputStep(first byte)` bytes and `replacement` is written in its place.
// The bytes before the first one above 0x7F: ASCII, the same characters in
// GBK and in UTF-8, so they are copied without the converter. Meter text is
// mostly ASCII, and the converter costs a call per piece of text.
size_t AsciiPrefix(std::string_view in) {
  size_t n = 0;
  // Eight bytes at a time while none has its top bit set.
  for (uint64_t word; n + sizeof word <= in.size(); n += sizeof word) {
    std::memcpy(&word, in.data() + n, sizeof word);
    if (word & 0x8080808080808080u) break;
  }
  while (n < in.size() && static_cast<unsigned char>(in[n]) < 0x80) ++n;
  return n;
}

// Converts `in` onto `out`; an input sequence that cannot be converted is
// skipped by `badInputStep(first byte)` bytes and `replacement` is written in
// its place.
template <typename StepFn>
void RunOnto(Direction direction, std::string_view in, std::string& out, std::string_view replacement,
         StepFn badInputStep, bool* replaced = nullptr) {
  while (!in.empty()) {
    const size_t ascii = AsciiPrefix(in);
    out.append(in.substr(0, ascii));
    in.remove_prefix(ascii);
    if (in.empty()) break;
    in.remove_prefix(codec::ConvertStart(direction, in, out));
    if (in.empty()) break;
    if (replaced) *replaced = true;
    out.append(replacement);
    in.remove_prefix(std::min(badInputStep(static_cast<unsigned char>(in.front())), in.size()));
  }
}

template <typename StepFn>
std::string Run(Direction direction, std::string_view in, std::string_view replacement, StepFn badInputStep,
                bool* replaced = nullptr) {
  std::string out;
  out.reserve(in.size() * 2 + 8);
  RunOnto(direction, in, out, replacement, badInputStep, replaced);
  return out;
}

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string ToUtf8(std::string_view gbkBytes) {
  return Run(Direction::GbkToUtf8, gbkBytes, kReplacementCharacter, [](unsigned char) -> size_t { return 1; });
}

void AppendUtf8(std::string& out, std::string_view gbkBytes) {
  RunOnto(Direction::GbkToUtf8, gbkBytes, out, kReplacementCharacter, [](unsigned char) -> size_t { return 1; });
}

std::string FromUtf8(std::string_view utf8) {
  // A character GBK cannot hold is stepped over whole, not byte by byte.
  return Run(Direction::Utf8ToGbk, utf8, "?", Utf8SequenceLength);
}

std::optional<std::string> FromUtf8Exactly(std::string_view utf8) {
  bool replaced = false;
  std::string out = Run(Direction::Utf8ToGbk, utf8, "?", Utf8SequenceLength, &replaced);
  if (replaced) return std::nullopt;
  return out;
}

}  // namespace gbk
