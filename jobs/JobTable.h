#pragma once
// A job as a table: one row per latest result, points in job order, an
// untested point as one row with empty values. `job show`, the exports and
// the job panel all read this.
#include <functional>
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
// Calls `row` for each row JobRows makes, in its order, without making them:
// the point and its result in `latest` (nullptr: untested).
void ForEachJobRow(const std::vector<std::string>& points, std::vector<Result>& latest,
                   const std::function<void(const std::string& point, Result* result)>& row);

// Two decimals: "-20.00".
std::string FormatDb(double value);
// Four significant digits: "0.01000", "1.259".
std::string FormatMilliwatts(double mw);

// The columns of `job show`.
const std::vector<std::string>& ShowHeader();
std::vector<std::string> ShowCells(const JobRow& row);
std::vector<std::string> ShowCells(const std::string& point, const Result* result);

}  // namespace jobs
