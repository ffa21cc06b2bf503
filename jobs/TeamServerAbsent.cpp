// The team server of a build without PostgreSQL's client library.
#include "jobs/TeamServer.h"

namespace jobs {

std::string TeamServerMissing() {
  return "this build of km360r-cli has no team server (it is built without PostgreSQL's client "
         "library): job sync and --server need a build with it";
}

std::unique_ptr<IResultsStore> OpenTeamServer(const std::string&) {
  throw StoreError(StoreError::Kind::Refused, TeamServerMissing());
}

std::optional<std::string> TeamServerProblem(const StoreError&, const SyncTexts&) { return std::nullopt; }

SyncCounts SyncToTeamServer(const std::string&, const std::string&) {
  throw StoreError(StoreError::Kind::Refused, TeamServerMissing());
}

SyncOutcome SyncStore(const std::string&, const std::string&, const SyncTexts&,
                      const std::function<void(const SyncCounts&)>&) {
  return {false, TeamServerMissing()};
}

}  // namespace jobs
