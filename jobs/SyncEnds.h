#pragma once
// The two ends of a sync (jobs/Sync.h): a store whose results go out and
// whose acknowledgements are kept with them, and a team server that takes
// them. A backend implements the end it can be.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jobs/SyncData.h"

namespace jobs {

class ISyncSource {
 public:
  virtual ~ISyncSource() = default;

  // Acknowledgements count for one server only: syncing to another server
  // starts again from nothing (it gets everything, and keeps none twice).
  virtual void UseServer(const std::string& serverId) = 0;
  // Every job with all its points, removed ones too.
  virtual std::vector<SyncJob> JobsForSync() = 0;
  // Up to `limit` results after the row `afterId` that the server has not
  // acknowledged as they are now (never sent, or superseded since).
  virtual std::vector<SyncResult> UnsentResults(int64_t afterId, size_t limit) = 0;
  // Records, in one transaction, that the server holds these results as sent.
  virtual void Acknowledge(const std::vector<SyncResult>& results) = 0;
  // Records that the server holds these points under their labels.
  virtual void AcknowledgeLabels(const std::vector<SyncPoint>& points) = 0;
};

class ISyncTarget {
 public:
  virtual ~ISyncTarget() = default;

  // The server's own UUID: tells one team server from another.
  virtual const std::string& ServerId() const = 0;
  // Adds the jobs the server lacks and brings their names, points and
  // references up to date, one transaction a job. A job the server cannot
  // take (another job of the same name there, texts it cannot hold) or a
  // point it holds under a label this store did not send is refused and
  // named; the others go.
  virtual JobsPushed PushJobs(std::vector<SyncJob> jobs) = 0;
  // Adds the results the server lacks and marks superseded the ones
  // superseded since, in one transaction. The jobs must have been pushed.
  virtual SyncCounts PushResults(std::vector<SyncResult> results) = 0;
};

}  // namespace jobs
