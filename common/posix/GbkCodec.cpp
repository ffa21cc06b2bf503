#include "common/GbkCodec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>

namespace gbk::codec {

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

  size_t Run(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      // E2BIG: the buffer is full, go on; EILSEQ or EINVAL (a sequence cut
      // at the end): the caller steps over it.
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - srcLeft;
  }

 private:
  iconv_t cd_;
};

}  // namespace

size_t ConvertStart(Direction direction, std::string_view in, std::string& out) {
  if (direction == Direction::GbkToUtf8) {
    thread_local Converter toUtf8("UTF-8", "GBK");
    return toUtf8.Run(in, out);
  }
  thread_local Converter toGbk("GBK", "UTF-8");
  return toGbk.Run(in, out);
}

}  // namespace gbk::codec
