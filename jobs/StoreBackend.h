#pragma once
// How a backend registers with the factory (jobs/StoreFactory.h): the kind of
// address it serves and what it opens there. A function left empty is a thing
// the backend does not do; the factory refuses it without asking the backend.
// A new backend is a file of its own defining its entry, and a line in
// StoreFactory.cpp's list.
#include <functional>
#include <memory>
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/StoreAddress.h"
#include "jobs/SyncEnds.h"

namespace jobs {

struct StoreBackend {
  StoreKind kind = StoreKind::LocalFile;
  std::string missing;  // empty when this build has the backend, else why not
  std::function<std::unique_ptr<IResultsReader>(const std::string& where)> openReader;
  std::function<std::unique_ptr<IResultsStore>(const std::string& where, StoreAccess access)> openStore;
  std::function<std::unique_ptr<ISyncSource>(const std::string& where)> openSyncSource;
  std::function<std::unique_ptr<ISyncTarget>(const std::string& where)> openSyncTarget;
};

// The registered backends, each defined in its own file: the SQLite file
// (SqliteBackend.cpp) and the PostgreSQL team server (PgBackend.cpp, or
// TeamServerAbsent.cpp in a build without PostgreSQL's client library).
const StoreBackend& SqliteBackend();
const StoreBackend& TeamServerBackend();

}  // namespace jobs
