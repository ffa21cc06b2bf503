#include "jobs/TeamServer.h"

#include "jobs/PgStore.h"
#include "jobs/SqliteStore.h"
#include "jobs/Sync.h"

namespace jobs {

std::string TeamServerMissing() { return {}; }

std::unique_ptr<IResultsStore> OpenTeamServer(const std::string& target) {
  return std::make_unique<PgStore>(target);
}

std::optional<std::string> TeamServerProblem(const StoreError& error, const SyncTexts& texts) {
  const auto* server = dynamic_cast<const pg::ServerError*>(&error);
  if (!server) return std::nullopt;
  return texts.ServerProblem(server->GetWhy(), server->Detail());
}

SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath) {
  PgStore remote(target);
  SqliteStore local(localPath);
  return Sync(local, remote);
}

}  // namespace jobs
