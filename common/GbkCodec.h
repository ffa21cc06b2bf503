#pragma once
// The system's converter between GBK and UTF-8, under common/Gbk.cpp: iconv
// on Linux, code page 936 on Windows. What to do with text that does not
// convert is decided in Gbk.cpp, the same for both.
#include <cstddef>
#include <string>
#include <string_view>

namespace gbk::codec {

enum class Direction { GbkToUtf8, Utf8ToGbk };

// Converts the longest start of `in` that converts whole and appends it to
// `out`; returns how many bytes of `in` it took. Fewer than in.size() means
// the sequence at that position cannot be converted (or is cut off at the
// end).
size_t ConvertStart(Direction direction, std::string_view in, std::string& out);

}  // namespace gbk::codec
