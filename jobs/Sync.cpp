#include "jobs/Sync.h"

#include "jobs/SyncTexts.h"

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

SyncOutcome SyncStore(const std::string& storePath, const std::string& server, const SyncTexts& texts,
                      const std::function<void(const SyncCounts&)>& progress) {
  if (server.empty()) return {false, texts.noServer};
  try {
    PgStore remote(server);
    SqliteStore local(storePath);
    const SyncCounts counts = Sync(local, remote, kSyncBatch, progress);
    return {true, texts.Done(counts.sent, counts.alreadyThere)};
  } catch (const pg::ServerError& e) {
    return {false, texts.ServerProblem(e.GetWhy(), e.Detail())};
  } catch (const StoreError& e) {
    return {false, e.what()};
  }
}

}  // namespace jobs
