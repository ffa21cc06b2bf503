#include "common/Gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace gbk {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    // iconv_open reports failure as (iconv_t)-1.
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
      throw std::runtime_error(std::string("no converter from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; an input sequence that cannot be converted is skipped by
  // `badInputStep(first byte)` bytes and `replacement` is written in its place.
  template <typename StepFn>
  std::string Run(std::string_view in, std::string_view replacement, StepFn badInputStep,
                  bool* replaced = nullptr) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a sequence cut at the end): replace and step over it.
      if (replaced) *replaced = true;
      out.append(replacement);
      const size_t step = std::min(badInputStep(static_cast<unsigned char>(*src)), srcLeft);
      src += step;
      srcLeft -= step;
    }
    return out;
  }

 private:
  iconv_t cd_;
};

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string ToUtf8(std::string_view gbkBytes) {
  thread_local Converter converter("UTF-8", "GBK");
  return converter.Run(gbkBytes, "\xEF\xBF\xBD", [](unsigned char) -> size_t { return 1; });
}

std::string FromUtf8(std::string_view utf8) {
  thread_local Converter converter("GBK", "UTF-8");
  // A character GBK cannot hold is stepped over whole, not byte by byte.
  return converter.Run(utf8, "?", Utf8SequenceLength);
}

std::optional<std::string> FromUtf8Exactly(std::string_view utf8) {
  thread_local Converter converter("GBK", "UTF-8");
  bool replaced = false;
  std::string out = converter.Run(utf8, "?", Utf8SequenceLength, &replaced);
  if (replaced) return std::nullopt;
  return out;
}

}  // namespace gbk
