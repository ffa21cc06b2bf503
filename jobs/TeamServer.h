#pragma once
// A team's results server as km360r-cli reaches it. A build with PostgreSQL's
// client library reaches the server; one without it (the Windows cross build)
// has none, and says so instead of failing somewhere deeper.
#include <memory>
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/SyncData.h"

namespace jobs {

// Empty when this build reaches team servers, else the sentence that says it
// does not.
std::string TeamServerMissing();

// The server at `target` (a libpq connection string or URL), to read jobs
// from. Throws StoreError when it cannot be reached or used.
std::unique_ptr<IResultsStore> OpenTeamServer(const std::string& target);

// Sends the store at `localPath` to the server at `target`. The server is
// reached before the local store is opened, so a server that cannot be used
// leaves the local store exactly as it was.
SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath);

}  // namespace jobs
