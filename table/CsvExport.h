#pragma once
// The comma-separated text of an exported table: the column titles, then one
// line per row, every value followed by "," and every line by CR LF, in GBK.
// A value that holds a comma, a double quote or a line break is written in
// double quotes with its inner quotes doubled, so that it stays one value.
// A text a spreadsheet would compute (starting with "=", "+", "-", "@", TAB or
// CR, and no number) gets a leading apostrophe.
#include <string>
#include <string_view>

#include "table/TableModel.h"

namespace csvexport {

// One value as it goes into the file (without its terminating ",").
std::string Value(std::string_view gbk);

// The whole file. Titles are held as UTF-8 and written as GBK.
std::string Text(const TableModel& table);

}  // namespace csvexport
