#pragma once
// What a sync carries from a local store to a team's server. A point is known
// in both by its UUID, so a renamed or removed point stays the same point and
// two copies of one store never mistake their new points for each other.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace jobs {

struct SyncPoint {
  std::string uuid;
  int64_t position = 0;
  std::string label;
  std::optional<std::string> removedAt;
  std::optional<std::string> ackedLabel;  // the label the server confirmed last
};

struct SyncJob {
  Job job;
  std::vector<SyncPoint> points;
};

struct SyncResult {
  int64_t localId = 0;
  std::string jobUuid;
  std::string pointUuid;
  Result result;
  bool superseded = false;  // as it was when read for sending
};

struct SyncCounts {
  int64_t sent = 0;          // results the server did not have
  int64_t alreadyThere = 0;  // results it had (a superseded flag may have been brought up to date)
  // Why a job or point was not sent, one sentence each naming it; the rest
  // of the store went.
  std::vector<std::string> refused;
};

// What a team server made of a store's jobs: what it refused (and why), and
// the point labels it now holds as sent.
struct JobsPushed {
  std::set<std::string> refusedJobs;    // job UUIDs
  std::set<std::string> refusedPoints;  // point UUIDs
  std::vector<std::string> refusals;    // one sentence each
  std::vector<SyncPoint> acknowledged;  // points whose label the server confirmed anew
};

}  // namespace jobs
