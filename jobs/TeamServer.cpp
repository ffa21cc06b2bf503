#include "jobs/TeamServer.h"

#include "jobs/PgStore.h"
#include "jobs/SqliteStore.h"
#include "jobs/Sync.h"

namespace jobs {

std::string TeamServerMissing() { return {}; }

std::unique_ptr<IResultsStore> OpenTeamServer(const std::string& target) {
  return std::make_unique<PgStore>(target);
}

SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath) {
  PgStore remote(target);
  SqliteStore local(localPath);
  return Sync(local, remote);
}

}  // namespace jobs
