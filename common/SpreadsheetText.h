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

// Appends one CSV value (without a separator after it): defused as above, and
// in double quotes with its inner quotes doubled when it holds a comma, a
// double quote, CR or LF, so that it stays one value. GBK and UTF-8 text are
// written alike: neither has a byte of a longer character among these four.
void AppendCsvValue(std::string& out, std::string_view value);
// The same value as a string of its own.
std::string CsvValue(std::string_view value);

}  // namespace sheettext
