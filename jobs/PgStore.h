#pragma once
// A team's results on a PostgreSQL server (docs/team-server.md): the same
// tables as the local store, filled by syncs from the technicians' stores and
// read by `job list|show|export --server`. Jobs are made and results captured
// locally; here they only arrive by sync, so the editing calls are refused.
// A server whose tables are newer than this program's is refused untouched.
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "jobs/ResultsStore.h"
#include "jobs/SyncData.h"

namespace jobs {

namespace pg {
class Connection;
}

class PgStore : public IResultsStore {
 public:
  // `target` is a postgresql:// URL or libpq's key=value words. Throws
  // StoreError (Unusable) when the server cannot be used.
  explicit PgStore(const std::string& target);
  ~PgStore() override;

  // The server's own UUID: tells one team server from another.
  const std::string& ServerId() const { return m_serverId; }

  // Adds the jobs the server lacks and brings their points and references up
  // to date, in one transaction. Refused when the server holds another job
  // (another UUID) of the same name.
  void PushJobs(std::vector<SyncJob> jobs);
  // Adds the results the server lacks, marks superseded the ones superseded
  // since, in one transaction. The jobs must have been pushed.
  SyncCounts PushResults(std::vector<SyncResult> results);

  std::vector<Profile> UserProfiles() override;
  void CreateJob(const Job& job, const std::vector<std::string>& points) override;
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
  int64_t JobId(const std::string& name);
  int64_t PointId(const std::string& jobUuid, int64_t position);
  int64_t JobIdOf(const std::string& jobUuid);

  std::unique_ptr<pg::Connection> m_db;
  std::string m_serverId;
  std::map<std::pair<std::string, int64_t>, int64_t> m_pointIds;  // (job UUID, position) -> server row
};

}  // namespace jobs
