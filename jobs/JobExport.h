#pragma once
// A job's latest results as a file for a spreadsheet: an Excel workbook with
// the values in numeric cells, or a UTF-8 CSV file with a BOM (so that a
// spreadsheet takes Chinese labels as UTF-8) and the values as plain numbers.
#include <string>
#include <vector>

#include "jobs/JobTable.h"

namespace jobs {

enum class ExportFormat { Csv, Workbook };

// Workbook for a name ending in ".xls", else CSV.
ExportFormat ExportFormatOf(const std::string& path);

// The CSV file's bytes.
std::string JobCsv(const std::vector<JobRow>& rows);

// Writes the file, replacing an earlier one only when complete. Returns an
// empty text, or why not.
std::string ExportJob(const std::vector<JobRow>& rows, const std::string& path);

}  // namespace jobs
