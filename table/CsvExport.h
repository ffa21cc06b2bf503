#pragma once
// The comma-separated text of an exported table: the column titles, then one
// line per row, every value followed by "," and every line by CR LF, in GBK.
// Each value is written as sheettext::AppendCsvValue writes it: quoted when
// it holds a comma, a quote or a line break, defused when it starts like a
// formula.
#include <string>
#include <string_view>

#include "table/TableModel.h"

namespace csvexport {

// The whole file. Titles are held as UTF-8 and written as GBK.
std::string Text(const TableModel& table);

}  // namespace csvexport
