#pragma once
// The one place that picks a results backend: the command line and the window
// say where the results are (the local file or a team server) and what they
// do there, and get the interface for it. A backend can only be asked for
// what it does: a team server is read and synced into, never written.
#include <memory>
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/StoreAddress.h"
#include "jobs/SyncEnds.h"

namespace jobs {

// Each throws StoreError when the store cannot be used, and Refused when the
// backend does not do what is asked or is not in this build.
std::unique_ptr<IResultsReader> OpenReader(const StoreAddress& at);
std::unique_ptr<IResultsStore> OpenStore(const StoreAddress& at, StoreAccess access = StoreAccess::ReadWrite);
std::unique_ptr<ISyncSource> OpenSyncSource(const StoreAddress& at);
std::unique_ptr<ISyncTarget> OpenSyncTarget(const StoreAddress& at);

// Empty when this build has the backend, else the sentence that says it has not.
std::string BackendMissing(StoreKind kind);

}  // namespace jobs
