#include "jobs/Sync.h"

namespace jobs {

SyncCounts Sync(SqliteStore& local, PgStore& server, size_t batch,
                const std::function<void(const SyncCounts&)>& progress) {
  local.UseServer(server.ServerId());
  server.PushJobs(local.JobsForSync());
  SyncCounts total;
  int64_t after = 0;
  for (;;) {
    std::vector<SyncResult> results = local.UnsentResults(after, batch);
    if (results.empty()) break;
    after = results.back().localId;
    const SyncCounts counts = server.PushResults(results);
    local.Acknowledge(results);
    total.sent += counts.sent;
    total.alreadyThere += counts.alreadyThere;
    if (progress) progress(total);
  }
  return total;
}

}  // namespace jobs
