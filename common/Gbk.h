#pragma once
// Conversion between the meter's GBK bytes and the UTF-8 that people read.
// Used only where text meets a person (widgets, message boxes, CLI output) and
// where a person's text goes back into a table cell.
#include <optional>
#include <string>
#include <string_view>

namespace gbk {

// GBK bytes to UTF-8. A byte sequence that is not GBK becomes U+FFFD, and the
// conversion goes on with the next byte, so nothing after it is lost.
std::string ToUtf8(std::string_view gbkBytes);
// The same, appended to `out`: for many pieces of text in one buffer.
void AppendUtf8(std::string& out, std::string_view gbkBytes);

// UTF-8 to GBK bytes. A character GBK cannot hold becomes "?".
std::string FromUtf8(std::string_view utf8);

// UTF-8 to GBK bytes, or nullopt when a character GBK cannot hold (or a
// sequence that is not UTF-8) is in the text: for text a person typed, which
// must not be stored changed.
std::optional<std::string> FromUtf8Exactly(std::string_view utf8);

}  // namespace gbk
