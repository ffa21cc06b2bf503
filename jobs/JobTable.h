#pragma once
// A job as a table: one row per latest result, points in job order, an
// untested point as one row with empty values. `job show`, the exports and
// the job panel all read this.
#include <optional>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace jobs {

struct JobRow {
  std::string point;
  std::optional<Result> result;  // nullopt: untested
};

// The results are moved into the rows: a caller that keeps them passes a copy.
std::vector<JobRow> JobRows(const std::vector<std::string>& points, std::vector<Result> latest);

// Two decimals: "-20.00".
std::string FormatDb(double value);
// Four significant digits: "0.01000", "1.259".
std::string FormatMilliwatts(double mw);

// The columns of `job show`.
const std::vector<std::string>& ShowHeader();
std::vector<std::string> ShowCells(const JobRow& row);

}  // namespace jobs
