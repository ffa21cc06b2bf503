#pragma once
// Text cells that a spreadsheet program would take for a formula. A CSV file
// opened in a spreadsheet computes "=1+1" and follows "=HYPERLINK(...)"; a
// leading apostrophe makes such a value plain text there. Numbers keep their
// sign: "-14.50" and "+0.50" are readings, not formulas.
#include <string>
#include <string_view>

namespace sheettext {

// A value starting with '=', '+', '-', '@', TAB or CR that is not a number
// (nor the meter's no-value mark "--.--").
// The first byte decides, so GBK and UTF-8 text are judged alike.
bool StartsLikeFormula(std::string_view value);

// The value as a CSV file holds it: with a leading apostrophe when it starts
// like a formula, unchanged otherwise.
std::string Defused(std::string_view value);

}  // namespace sheettext
