#include "common/Gbk.h"

#include <algorithm>

#include "common/GbkCodec.h"

namespace gbk {

namespace {

using codec::Direction;

// Converts `in`; an input sequence that cannot be converted is skipped by
// `badInputStep(first byte)` bytes and `replacement` is written in its place.
template <typename StepFn>
std::string Run(Direction direction, std::string_view in, std::string_view replacement, StepFn badInputStep,
                bool* replaced = nullptr) {
  std::string out;
  out.reserve(in.size() * 2 + 8);
  while (!in.empty()) {
    in.remove_prefix(codec::ConvertStart(direction, in, out));
    if (in.empty()) break;
    if (replaced) *replaced = true;
    out.append(replacement);
    in.remove_prefix(std::min(badInputStep(static_cast<unsigned char>(in.front())), in.size()));
  }
  return out;
}

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string ToUtf8(std::string_view gbkBytes) {
  return Run(Direction::GbkToUtf8, gbkBytes, "\xEF\xBF\xBD", [](unsigned char) -> size_t { return 1; });
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
