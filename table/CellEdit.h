#pragma once
// The rules for editing the measurement list in place: which cells take an
// edit, how long the text may be, and what is said when it is too long. The
// limits count bytes of the GBK text the data files hold (a Chinese character
// counts two), whatever the person typed it in.
#include <optional>
#include <string>
#include <string_view>

namespace celledit {

// The number and the description of a measurement row take an edit; nothing
// does while the table shows system parameters.
bool Editable(int column, bool parameterView);

// The most GBK bytes an editable column holds: 10 for the number, 20 for the
// description; 0 for the others.
int ByteLimit(int column);

// The caption of the list's own boxes, the same in every language.
inline constexpr const char* kCaption = "Massage promp";

struct Verdict {
  // The text to store (GBK), when it may be stored.
  std::optional<std::string> gbk;
  // Otherwise what the box says (UTF-8).
  std::string refusal;
};

// Checks a finished edit of `column` holding `typed` (UTF-8). A text longer
// than the column's limit is refused with the column's own message; a
// character the files cannot hold is refused rather than stored as "?".
Verdict Check(int column, std::string_view typed, bool chinese);

}  // namespace celledit
