#include "jobs/Sync.h"

#include <vector>

namespace jobs {

SyncCounts Sync(ISyncSource& local, ISyncTarget& server, size_t batch,
                const std::function<void(const SyncCounts&)>& progress) {
  local.UseServer(server.ServerId());
  const JobsPushed pushed = server.PushJobs(local.JobsForSync());
  local.AcknowledgeLabels(pushed.acknowledged);
  SyncCounts total;
  total.refused = pushed.refusals;
  int64_t after = 0;
  for (;;) {
    std::vector<SyncResult> results = local.UnsentResults(after, batch);
    if (results.empty()) break;
    after = results.back().localId;
    // The results of a refused job or point stay here, unsent, until it goes.
    std::erase_if(results, [&pushed](const SyncResult& r) {
      return pushed.refusedJobs.count(r.jobUuid) || pushed.refusedPoints.count(r.pointUuid);
    });
    if (results.empty()) continue;
    const SyncCounts counts = server.PushResults(results);
    local.Acknowledge(results);
    total.sent += counts.sent;
    total.alreadyThere += counts.alreadyThere;
    if (progress) progress(total);
  }
  return total;
}

}  // namespace jobs
