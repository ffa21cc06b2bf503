#include "jobs/JobTable.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "field/Readout.h"

namespace jobs {

namespace {

// True when the results come in the points' order, each point's together, as
// the stores give them: then each point's results are the next ones.
bool InPointOrder(const std::vector<std::string>& points, const std::vector<Result>& latest) {
  size_t next = 0;
  for (const std::string& point : points) {
    while (next < latest.size() && latest[next].point == point) ++next;
  }
  return next == latest.size();
}

}  // namespace

void ForEachJobRow(const std::vector<std::string>& points, std::vector<Result>& latest,
                   const std::function<void(const std::string& point, Result* result)>& row) {
  if (InPointOrder(points, latest)) {
    size_t next = 0;
    for (const std::string& point : points) {
      if (next == latest.size() || latest[next].point != point) row(point, nullptr);
      for (; next < latest.size() && latest[next].point == point; ++next) row(point, &latest[next]);
    }
    return;
  }
  std::map<std::string, std::vector<Result*>> byPoint;
  for (Result& r : latest) byPoint[r.point].push_back(&r);
  for (const std::string& point : points) {
    const auto it = byPoint.find(point);
    if (it == byPoint.end()) {
      row(point, nullptr);
      continue;
    }
    for (Result* r : it->second) row(point, r);
  }
}

std::vector<JobRow> JobRows(const std::vector<std::string>& points, std::vector<Result> latest) {
  std::vector<JobRow> rows;
  rows.reserve(points.size() + latest.size());
  // In the points' order each result makes one row and is moved into it;
  // otherwise a label given twice would make two rows of one result.
  const bool once = InPointOrder(points, latest);
  ForEachJobRow(points, latest, [&](const std::string& point, Result* r) {
    if (!r) {
      rows.push_back(JobRow{point, std::nullopt});
    } else if (once) {
      rows.push_back(JobRow{point, std::move(*r)});
    } else {
      rows.push_back(JobRow{point, *r});
    }
  });
  return rows;
}

std::string FormatDb(double value) { return field::FormatTwoDecimals(value); }

std::string FormatMilliwatts(double mw) {
  if (!(mw > 0) || !std::isfinite(mw)) return field::FormatTwoDecimals(mw);
  // Decimals so that four significant digits show; rounding may add a digit
  // before the point (9.9996 -> "10.00"), which the format then shows.
  const int magnitude = static_cast<int>(std::floor(std::log10(mw)));
  const int decimals = std::max(0, 3 - magnitude);
  // Room for the digits of any finite value: a number is never cut short.
  char text[330];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, mw, std::chars_format::fixed, decimals);
  return std::string(text, end.ptr);
}

const std::vector<std::string>& ShowHeader() {
  static const std::vector<std::string> kHeader = {"point",   "wavelength_nm", "power_dbm", "power_mw", "loss_db",
                                                   "verdict", "samples",       "span_db",   "time"};
  return kHeader;
}

std::vector<std::string> ShowCells(const JobRow& row) {
  return ShowCells(row.point, row.result ? &*row.result : nullptr);
}

std::vector<std::string> ShowCells(const std::string& point, const Result* result) {
  if (!result) return {point, "", "", "", "", "", "", "", ""};
  const Result& r = *result;
  return {point,
          std::to_string(r.wavelengthNm),
          FormatDb(r.powerDbm),
          FormatMilliwatts(r.powerMw),
          r.lossDb ? FormatDb(*r.lossDb) : std::string(),
          VerdictText(r.verdict),
          std::to_string(r.samples),
          FormatDb(r.spanDb),
          r.measured};
}

}  // namespace jobs
