#pragma once
// UTF-8, the program's text everywhere inside, to and from UTF-16 where it
// meets Windows' wide-character calls (file names, system messages). Windows
// only: common/win32/.
#include <string>
#include <string_view>

namespace utf16 {

// A sequence that is not UTF-8 becomes U+FFFD.
std::wstring FromUtf8(std::string_view utf8);

// An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view wide);

}  // namespace utf16
