#pragma once
// A team's results on a PostgreSQL server (docs/team-server.md): the same
// tables as the local store, filled by syncs from the technicians' stores and
// read by `job list|show|export --server`. Jobs are made and results captured
// locally; here they only arrive by sync, so the editing calls are refused.
// A server whose tables are newer than this program's, or not this program's
// at all, is refused untouched.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "jobs/ResultsStore.h"
#include "jobs/SyncData.h"

namespace jobs {

namespace pg {
class Connection;
}

// What the server made of a store's jobs: what it refused (and why), and the
// point labels it now holds as sent.
struct JobsPushed {
  std::set<std::string> refusedJobs;    // job UUIDs
  std::set<std::string> refusedPoints;  // point UUIDs
  std::vector<std::string> refusals;    // one sentence each
  std::vector<SyncPoint> acknowledged;  // points whose label the server confirmed anew
};

class PgStore : public IResultsStore {
 public:
  // Reading writes nothing (an office account with SELECT only reads); a sync
  // makes the tables or brings them up to date first.
  enum class Access { Read, Sync };

  // `target` is a postgresql:// URL or libpq's key=value words. Throws
  // StoreError (Unusable) when the server cannot be used, and for reading
  // when its tables are missing or older than this program's.
  PgStore(const std::string& target, Access access);
  ~PgStore() override;

  // The server's own UUID: tells one team server from another (Sync only).
  const std::string& ServerId() const { return m_serverId; }

  // Adds the jobs the server lacks and brings their names, points and
  // references up to date, one transaction a job. A job the server cannot
  // take (another job of the same name there, texts it cannot hold) or a
  // point it holds under a label this store did not send is refused and
  // named; the others go.
  JobsPushed PushJobs(std::vector<SyncJob> jobs);
  // Adds the results the server lacks, marks superseded the ones superseded
  // since, in one transaction. The jobs must have been pushed.
  SyncCounts PushResults(std::vector<SyncResult> results);

  std::vector<Profile> UserProfiles() override;
  void CreateJob(const Job& job, const std::vector<std::string>& points) override;
  void RenameJob(const std::string& from, const std::string& to) override;
  std::optional<Job> FindJob(const std::string& name) override;
  std::vector<JobSummary> ListJobs() override;
  std::vector<std::string> Points(const std::string& job) override;
  void AddPoints(const std::string& job, const std::vector<std::string>& labels) override;
  void RenamePoint(const std::string& job, const std::string& from, const std::string& to) override;
  void RemovePoint(const std::string& job, const std::string& label) override;
  void SetReference(const std::string& job, int wavelengthNm, std::optional<double> dbm) override;
  void SetSamples(const std::string& job, int samples) override;
  void AddResult(const std::string& job, Result& result) override;
  std::vector<Result> LatestResults(const std::string& job) override;

 private:
  void Migrate();
  // The version of the server's tables, without writing; nullopt when it has none.
  std::optional<int64_t> Version();
  // One job in its own transaction; throws StoreError (Refused) for the whole job.
  void PushJob(const SyncJob& s, JobsPushed& pushed);
  int64_t JobId(const std::string& name);
  int64_t PointId(const std::string& jobUuid, const std::string& pointUuid);
  int64_t JobIdOf(const std::string& jobUuid);

  std::unique_ptr<pg::Connection> m_db;
  std::string m_serverId;
  std::set<std::string> m_pointsOf;               // job UUIDs whose points are in m_pointIds
  std::map<std::string, int64_t> m_pointIds;      // point UUID -> server row
};

}  // namespace jobs
