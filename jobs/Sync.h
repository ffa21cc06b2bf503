#pragma once
// Pushes a local store's jobs, points and results to a team's server: what
// the server lacks is added, a result superseded here is marked superseded
// there, and each batch is one server transaction acknowledged in the local
// store only after it committed. A sync cut off anywhere leaves the server
// with whole batches and the next sync completes it; nothing is added twice,
// because results are known by their UUIDs.
#include <cstddef>
#include <functional>
#include <string>

#include "jobs/SyncEnds.h"

namespace jobs {

inline constexpr size_t kSyncBatch = 2000;

// `progress`, when given, hears the counts so far after each batch.
SyncCounts Sync(ISyncSource& local, ISyncTarget& server, size_t batch = kSyncBatch,
                const std::function<void(const SyncCounts&)>& progress = {});

}  // namespace jobs
