#pragma once
// The results store in one SQLite file (docs/results-store.md). The file is
// opened in WAL mode with a busy timeout, so the window and km360r-cli can
// use one store at once; each change is one committed transaction. A file
// that is not a store, is damaged, or was written by a newer program is
// refused with a StoreError (Unusable) and left exactly as it was.
#include <memory>
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/SyncEnds.h"

namespace jobs {

namespace sql {
class Connection;
}

class SqliteStore : public IResultsStore, public ISyncSource {
 public:
  // ReadOnly: for commands that only read. A store of this version in a
  // folder the user may not write is opened read-only, so it can be read
  // there; elsewhere, and for a missing, new or older store, as ReadWrite.
  // Sync: as ReadWrite, for a sync's own connection, whose commits are only
  // acknowledgements: they are not each waited on to reach the disk. One
  // lost to a power cut sends its results again at the next sync, which the
  // server counts as already there; the closing checkpoint flushes them all.
  enum class Access { ReadWrite, ReadOnly, Sync };
  // Opens the store at `path`, creating it (and its folder) when there is no
  // file or an empty one; an older store is migrated first. Opening looks at
  // the file's header, application id, schema version and tables, the same
  // few pages however large the store is; damage further in is refused when
  // a statement meets it, or found by IntegrityProblem.
  explicit SqliteStore(const std::string& path, Access access = Access::ReadWrite);
  ~SqliteStore() override;

  std::vector<Profile> UserProfiles() override;
  // Adds or replaces a user profile; a built-in id is refused.
  void SaveUserProfile(const Profile& profile);

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

  // SQLite's full integrity check of every page and index.
  std::string IntegrityProblem() override;

  // ---- what a sync reads and records ----
  std::vector<SyncJob> JobsForSync() override;
  std::vector<SyncResult> UnsentResults(int64_t afterId, size_t limit) override;
  void Acknowledge(const std::vector<SyncResult>& results) override;
  void AcknowledgeLabels(const std::vector<SyncPoint>& points) override;
  void UseServer(const std::string& serverId) override;

 private:
  int64_t JobId(const std::string& name);
  std::vector<std::string> PointLabels(int64_t jobId);
  // job_counts of the job, in the caller's transaction.
  void RefreshCounts(int64_t jobId);
  // The worst verdict rank of a point's latest results; nullopt untested.
  std::optional<double> PointWorst(int64_t pointId);
  void Migrate();

  std::unique_ptr<sql::Connection> m_db;
};

}  // namespace jobs
