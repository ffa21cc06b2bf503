#include "jobs/TeamServer.h"

#include "jobs/ServerError.h"
#include "jobs/StoreFactory.h"
#include "jobs/Sync.h"

namespace jobs {

std::string TeamServerMissing() { return BackendMissing(StoreKind::TeamServer); }

std::unique_ptr<IResultsReader> OpenTeamServer(const std::string& target) {
  return OpenReader({StoreKind::TeamServer, target});
}

std::optional<std::string> TeamServerProblem(const StoreError& error, const SyncTexts& texts) {
  const auto* server = dynamic_cast<const ServerError*>(&error);
  if (!server) return std::nullopt;
  return texts.ServerProblem(server->GetWhy(), server->Detail());
}

SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath) {
  const std::unique_ptr<ISyncTarget> remote = OpenSyncTarget({StoreKind::TeamServer, target});
  const std::unique_ptr<ISyncSource> local = OpenSyncSource({StoreKind::LocalFile, localPath});
  return Sync(*local, *remote);
}

SyncOutcome SyncStore(const std::string& storePath, const std::string& server, const SyncTexts& texts,
                      const std::function<void(const SyncCounts&)>& progress) {
  if (const std::string missing = TeamServerMissing(); !missing.empty()) return {false, missing};
  if (server.empty()) return {false, texts.noServer};
  try {
    const std::unique_ptr<ISyncTarget> remote = OpenSyncTarget({StoreKind::TeamServer, server});
    const std::unique_ptr<ISyncSource> local = OpenSyncSource({StoreKind::LocalFile, storePath});
    const SyncCounts counts = Sync(*local, *remote, kSyncBatch, progress);
    std::string message = texts.Done(counts.sent, counts.alreadyThere);
    for (const std::string& refused : counts.refused) message += "\n" + refused;
    return {counts.refused.empty(), message};
  } catch (const ServerError& e) {
    return {false, texts.ServerProblem(e.GetWhy(), e.Detail())};
  } catch (const StoreError& e) {
    return {false, texts.Failed(e.what())};
  }
}

}  // namespace jobs
