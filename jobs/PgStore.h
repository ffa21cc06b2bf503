#pragma once
// A team's results on a PostgreSQL server (docs/team-server.md): the same
// tables as the local store, filled by syncs from the technicians' stores and
// read by `job list|show|export --server`. Jobs are made and results captured
// locally and only arrive here by sync, so the server is a reader and a sync
// target, never a writer.
// A server whose tables are newer than this program's, or not this program's
// at all, is refused untouched.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "jobs/ResultsStore.h"
#include "jobs/SyncEnds.h"

namespace jobs {

namespace pg {
class Connection;
}

class PgStore : public IResultsReader, public ISyncTarget {
 public:
  // Reading writes nothing (an office account with SELECT only reads); a sync
  // makes the tables or brings them up to date first.
  enum class Access { Read, Sync };

  // `target` is a postgresql:// URL or libpq's key=value words. Throws
  // StoreError (Unusable) when the server cannot be used, and for reading
  // when its tables are missing or older than this program's.
  PgStore(const std::string& target, Access access);
  ~PgStore() override;

  // Sync only.
  const std::string& ServerId() const override { return m_serverId; }
  JobsPushed PushJobs(std::vector<SyncJob> jobs) override;
  SyncCounts PushResults(std::vector<SyncResult> results) override;

  std::vector<Profile> UserProfiles() override;
  std::optional<Job> FindJob(const std::string& name) override;
  std::vector<JobSummary> ListJobs() override;
  std::vector<std::string> Points(const std::string& job) override;
  std::vector<Result> LatestResults(const std::string& job) override;

 private:
  void Migrate();
  // The version of the server's tables, without writing; nullopt when it has none.
  std::optional<int64_t> Version();
  // One job in its own transaction; throws StoreError (Refused) for the whole job.
  void PushJob(const SyncJob& s, JobsPushed& pushed);
  int64_t JobId(const std::string& name);
  int64_t PointId(const std::string& jobUuid, const std::string& pointUuid);

  std::unique_ptr<pg::Connection> m_db;
  std::string m_serverId;
  std::set<std::string> m_pointsOf;               // job UUIDs whose points are in m_pointIds
  std::map<std::string, int64_t> m_pointIds;      // point UUID -> server row
};

}  // namespace jobs
