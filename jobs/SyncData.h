#pragma once
// What a sync carries from a local store to a team's server. A point is known
// in both by its job's UUID and its position in the job (a position is never
// given twice in a job, so a renamed or removed point stays the same point).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace jobs {

struct SyncPoint {
  int64_t position = 0;
  std::string label;
  std::optional<std::string> removedAt;
};

struct SyncJob {
  Job job;
  std::vector<SyncPoint> points;
};

struct SyncResult {
  int64_t localId = 0;
  std::string jobUuid;
  int64_t position = 0;
  Result result;
  bool superseded = false;  // as it was when read for sending
};

struct SyncCounts {
  int64_t sent = 0;          // results the server did not have
  int64_t alreadyThere = 0;  // results it had (a superseded flag may have been brought up to date)
};

}  // namespace jobs
