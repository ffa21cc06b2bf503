#pragma once
// A team's results server as km360r-cli and the window reach it, through the
// store factory. A build with PostgreSQL's client library reaches the server;
// one without it (the Windows cross build) has none, and says so instead of
// failing somewhere deeper.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/SyncData.h"
#include "jobs/SyncTexts.h"

namespace jobs {

// Empty when this build reaches team servers, else the sentence that says it
// does not.
std::string TeamServerMissing();

// The server at `target` (a libpq connection string or URL), to read jobs
// from. Throws StoreError when it cannot be reached or used.
std::unique_ptr<IResultsReader> OpenTeamServer(const std::string& target);

// Sends the store at `localPath` to the server at `target`. The server is
// reached before the local store is opened, so a server that cannot be used
// leaves the local store exactly as it was. A job or point the server refuses
// is named in the counts' `refused`; the rest went.
SyncCounts SyncToTeamServer(const std::string& target, const std::string& localPath);

// When `error` came from a team server that could not be used (unreachable,
// login refused, a newer schema), what to tell the user in `texts`' language;
// nullopt for any other error.
std::optional<std::string> TeamServerProblem(const StoreError& error, const SyncTexts& texts);

// A whole sync as the window runs it: the server is reached first (so a
// server that cannot be used leaves the local store as it was), then the
// store at `storePath` is synced. The outcome's message is in `texts`'
// language: "sent N results, M already there" or what went wrong, followed
// by the jobs and points the server refused (ok is then false).
struct SyncOutcome {
  bool ok = false;
  std::string message;
};
SyncOutcome SyncStore(const std::string& storePath, const std::string& server, const SyncTexts& texts,
                      const std::function<void(const SyncCounts&)>& progress = {});

}  // namespace jobs
