#include "jobs/TeamServer.h"

#include "jobs/PgStore.h"
#include "jobs/SqliteStore.h"
#include "jobs/Sync.h"

namespace jobs {

std::string TeamServerMissing() { return {}; }

std::unique_ptr<IResultsStore> OpenTeamServer(const std::string& target) {
  return std::make_unique<PgStore>(target, PgStore::Access::Read);
}

std::optional<std::string> TeamServerProblem(const StoreError& error, const SyncTexts& texts) {
  const auto* server = dynamic_cast<const pg::ServerError*>(&error);
  if (!server) return std::nullopt;
  return texts.ServerProblem(server->GetWhy(), server->Detail());
}

SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath) {
  PgStore remote(target, PgStore::Access::Sync);
  SqliteStore local(localPath);
  return Sync(local, remote);
}

SyncOutcome SyncStore(const std::string& storePath, const std::string& server, const SyncTexts& texts,
                      const std::function<void(const SyncCounts&)>& progress) {
  if (server.empty()) return {false, texts.noServer};
  try {
    PgStore remote(server, PgStore::Access::Sync);
    SqliteStore local(storePath);
    const SyncCounts counts = Sync(local, remote, kSyncBatch, progress);
    std::string message = texts.Done(counts.sent, counts.alreadyThere);
    for (const std::string& refused : counts.refused) message += "\n" + refused;
    return {counts.refused.empty(), message};
  } catch (const pg::ServerError& e) {
    return {false, texts.ServerProblem(e.GetWhy(), e.Detail())};
  } catch (const StoreError& e) {
    return {false, texts.Failed(e.what())};
  }
}

}  // namespace jobs
