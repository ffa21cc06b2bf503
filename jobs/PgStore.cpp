#include "jobs/PgStore.h"

#include <algorithm>
#include <set>

#include "jobs/JobRules.h"
#include "jobs/JobTextRules.h"
#include "jobs/Pg.h"
#include "jobs/PointPattern.h"
#include "jobs/StoreSchema.h"
#include "jobs/Uuid.h"

namespace jobs {

namespace {

using pg::Number;
using pg::Text;

// Held by whoever migrates the server's tables, so that two programs meeting
// a fresh server do not both make them.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(1261647408)";

[[noreturn]] void Fail(ServerError::Why why, int64_t version) {
  throw ServerError(why, std::to_string(version));
}

// Refuses tables this program cannot use: newer ones, and a version no
// program of ours writes (below zero).
void CheckVersion(int64_t version) {
  if (version > schema::CurrentVersion()) Fail(ServerError::Why::Newer, version);
  if (version < 0) Fail(ServerError::Why::Foreign, version);
}

// How a job is named in a refusal: by its name, or by its UUID when the name
// itself is what cannot be shown.
std::string JobNamed(const Job& job) {
  return TextProblem(TextKind::Name, job.name).empty() ? "the job " + job.name : "the job with UUID " + job.uuid;
}

// Why the server cannot take the job's texts, or empty. A store written
// before its texts were checked at the door may hold such a job.
std::string TextsProblem(const SyncJob& s) {
  if (std::string problem = JobTextProblem(s.job); !problem.empty()) return problem;
  for (const SyncPoint& p : s.points) {
    if (std::string problem = LabelProblem(p.label); !problem.empty()) return problem;
  }
  return {};
}

// NULL for an empty text: a value not known.
pg::Param TextOrNull(const std::string& s) { return s.empty() ? pg::Param{} : Text(s); }

// A value read from the server that no job or result may hold (the tables
// were edited by hand): refused, never computed with.
void ValueReadBack(const std::string& what, const std::string& problem) {
  if (!problem.empty()) throw StoreError(StoreError::Kind::Unusable, "the team server: " + what + ": " + problem);
}

}  // namespace

PgStore::PgStore(const std::string& target, Access access) : m_db(std::make_unique<pg::Connection>(target)) {
  if (access == Access::Read) {
    // Nothing below can write, even by mistake.
    m_db->Execute("SET default_transaction_read_only = on");
    const std::optional<int64_t> v = Version();
    if (!v) throw ServerError(ServerError::Why::Empty, {});
    CheckVersion(*v);
    if (*v < schema::CurrentVersion()) Fail(ServerError::Why::Older, *v);
    return;
  }
  Migrate();
  m_db->Query("INSERT INTO store_info (key, value) VALUES ('server_uuid', $1) ON CONFLICT (key) DO NOTHING",
              {Text(NewUuid())});
  m_serverId = m_db->Query("SELECT value FROM store_info WHERE key = 'server_uuid'").Text(0, 0);
}

PgStore::~PgStore() = default;

std::optional<int64_t> PgStore::Version() {
  if (m_db->Query("SELECT to_regclass('km360r_schema') IS NOT NULL").Text(0, 0) != "t") return std::nullopt;
  return m_db->Query("SELECT coalesce(max(version), 0) FROM km360r_schema").Int(0, 0);
}

void PgStore::Migrate() {
  if (const std::optional<int64_t> v = Version()) {
    CheckVersion(*v);
    if (*v == schema::CurrentVersion()) return;
  }
  pg::Transaction t(*m_db);
  m_db->Execute(kMigrationLock);
  m_db->Execute("CREATE TABLE IF NOT EXISTS km360r_schema (version INTEGER NOT NULL)");
  const int64_t from = *Version();  // again, under the lock
  CheckVersion(from);
  const std::vector<std::string> steps = schema::Migrations(schema::Dialect::PostgreSql);
  for (int64_t v = from; v < schema::CurrentVersion(); ++v) m_db->Execute(steps[static_cast<size_t>(v)]);
  m_db->Execute("DELETE FROM km360r_schema");
  m_db->Query("INSERT INTO km360r_schema (version) VALUES ($1)", {Number(int64_t{schema::CurrentVersion()})});
  t.Commit();
}

// ---- sync -----------------------------------------------------------------------

JobsPushed PgStore::PushJobs(std::vector<SyncJob> jobs) {
  // Every writer takes its jobs in one order, so two syncs never wait on each other in a circle.
  std::sort(jobs.begin(), jobs.end(), [](const SyncJob& a, const SyncJob& b) { return a.job.uuid < b.job.uuid; });
  JobsPushed pushed;
  for (const SyncJob& s : jobs) {
    try {
      PushJob(s, pushed);
    } catch (const ServerError& e) {
      // A lost server ends the sync; a statement it refused ends only this job.
      if (!m_db->Alive()) throw;
      pushed.refusedJobs.insert(s.job.uuid);
      pushed.refusals.push_back(JobNamed(s.job) + " was not sent: " + e.Detail());
    } catch (const StoreError& e) {
      pushed.refusedJobs.insert(s.job.uuid);
      pushed.refusals.push_back(JobNamed(s.job) + " was not sent: " + e.what());
    }
  }
  return pushed;
}

void PgStore::PushJob(const SyncJob& s, JobsPushed& pushed) {
  const Job& job = s.job;
  if (std::string problem = TextsProblem(s); !problem.empty()) Refuse(problem);
  pg::Transaction t(*m_db);
  // One writer at a time per job: a second sync of the same job waits, then
  // finds it there.
  m_db->Query("SELECT pg_advisory_xact_lock(hashtext($1))", {Text(job.uuid)});
  const std::string nameTaken = "the server holds another job named " + job.name + "; rename the job here and sync again";
  pg::Rows found = m_db->Query("SELECT id, name FROM jobs WHERE uuid = $1", {Text(job.uuid)});
  int64_t id = 0;
  if (found.Count() == 0) {
    std::optional<pg::Rows> made = m_db->QueryUnlessDuplicate(
        "INSERT INTO jobs (uuid, name, site, operator, notes, profile_id, profile_name, margin_db, loss_min_db, "
        "loss_max_db, created_at, samples) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) RETURNING id",
        {Text(job.uuid), Text(job.name), Text(job.site), Text(job.operatorName), Text(job.notes),
         Text(job.profile.id), Text(job.profile.name), Number(job.profile.marginDb),
         Number(job.profile.lossBudget.low), Number(job.profile.lossBudget.high), Text(job.created),
         Number(int64_t{job.samples})});
    if (!made) Refuse(nameTaken);
    id = made->Int(0, 0);
    for (const auto& [nm, range] : job.profile.limits) {
      m_db->Query("INSERT INTO job_limits VALUES ($1, $2, $3, $4)",
                  {Number(id), Number(int64_t{nm}), Number(range.low), Number(range.high)});
    }
  } else {
    id = found.Int(0, 0);
    // Renamed here since: the name follows the job's UUID.
    if (found.Text(0, 1) != job.name &&
        !m_db->QueryUnlessDuplicate("UPDATE jobs SET name = $2 WHERE id = $1", {Number(id), Text(job.name)})) {
      Refuse(nameTaken);
    }
  }
  m_db->Query("DELETE FROM job_references WHERE job_id = $1", {Number(id)});
  for (const auto& [nm, dbm] : job.referencesDbm) {
    m_db->Query("INSERT INTO job_references VALUES ($1, $2, $3)", {Number(id), Number(int64_t{nm}), Number(dbm)});
  }

  // The job's points as the server holds them, by UUID.
  struct There {
    std::string label;
    std::optional<std::string> removedAt;
  };
  std::map<std::string, There> there;
  pg::Rows known = m_db->Query("SELECT uuid, label, removed_at FROM points WHERE job_id = $1", {Number(id)});
  for (int i = 0; i < known.Count(); ++i) {
    there[known.Text(i, 0)] = {known.Text(i, 1),
                               known.IsNull(i, 2) ? std::nullopt : std::optional<std::string>(known.Text(i, 2))};
  }
  const auto refuse = [&](const SyncPoint& p, const std::string& why) {
    pushed.refusedPoints.insert(p.uuid);
    pushed.refusals.push_back("the point " + p.label + " of the job " + job.name + " was not sent: " + why);
  };
  // Only the points that differ are written. A label the server holds
  // otherwise is changed only when it is the one this store sent (a rename
  // here); else the server's point came from another store and is kept.
  std::vector<const SyncPoint*> changed;
  std::vector<const SyncPoint*> confirmed;  // the server's label is now this store's
  for (const SyncPoint& p : s.points) {
    const auto it = there.find(p.uuid);
    if (it == there.end()) {
      changed.push_back(&p);
    } else if (it->second.label != p.label && p.ackedLabel != it->second.label) {
      refuse(p, "the server holds that point under the label " + it->second.label +
                    ", which it did not get from this store");
    } else if (it->second.label != p.label || it->second.removedAt != p.removedAt) {
      changed.push_back(&p);
    } else if (p.ackedLabel != p.label) {
      confirmed.push_back(&p);
    }
  }
  // A label stays with the server's point that holds it unless that point is
  // among those changing; a point that would take it is refused, and then
  // keeps its own label on the server in turn.
  std::map<std::string, std::string> heldBy;  // label -> point UUID
  for (bool again = true; again;) {
    again = false;
    std::set<std::string> moving;
    for (const SyncPoint* p : changed) moving.insert(p->uuid);
    heldBy.clear();
    for (const auto& [uuid, point] : there) {
      if (!point.removedAt && !moving.count(uuid)) heldBy[point.label] = uuid;
    }
    for (auto it = changed.begin(); it != changed.end(); ++it) {
      const SyncPoint& p = **it;
      if (p.removedAt || !heldBy.count(p.label)) continue;
      refuse(p, "the server holds another point labelled " + p.label + " in that job");
      changed.erase(it);
      again = true;
      break;
    }
  }
  // The points that change move out of the way first, so that swapped
  // labels, or a label freed by a removal and taken by a rename, never meet
  // in the unique index whatever the order of the rows; a control character
  // keeps the passing label from matching any real one.
  std::vector<pg::Param> relabelled = {Number(id)};
  std::string marks;
  for (const SyncPoint* p : changed) {
    if (!there.count(p->uuid)) continue;
    relabelled.push_back(Text(p->uuid));
    marks += (marks.empty() ? "$" : ", $") + std::to_string(relabelled.size());
  }
  if (!marks.empty()) {
    m_db->Query("UPDATE points SET label = chr(1) || uuid WHERE job_id = $1 AND uuid IN (" + marks + ")", relabelled);
  }
  // A job's thousands of points go in by COPY and one statement, in the
  // order given (the order their rows are numbered in).
  if (!changed.empty()) {
    std::string rows;
    int64_t order = 0;
    for (const SyncPoint* p : changed) {
      pg::CopyRow(rows, {Number(++order), Text(p->uuid), Number(p->position), Text(p->label), p->removedAt});
    }
    m_db->Execute(
        "CREATE TEMPORARY TABLE IF NOT EXISTS incoming_points (ord BIGINT, uuid TEXT, position BIGINT, label TEXT, "
        "removed_at TEXT); DELETE FROM incoming_points");
    m_db->CopyIn("COPY incoming_points FROM STDIN", rows);
    m_db->Query(
        "INSERT INTO points (job_id, uuid, position, label, removed_at) "
        "SELECT $1, uuid, position, label, removed_at FROM incoming_points ORDER BY ord "
        "ON CONFLICT (uuid) DO UPDATE SET label = EXCLUDED.label, removed_at = EXCLUDED.removed_at "
        "WHERE points.job_id = EXCLUDED.job_id",
        {Number(id)});
  }
  m_db->Query(schema::RefreshJobCounts(schema::Dialect::PostgreSql), {Number(id)});
  t.Commit();
  for (const SyncPoint* p : changed) {
    if (p->ackedLabel != p->label) pushed.acknowledged.push_back(*p);
  }
  for (const SyncPoint* p : confirmed) pushed.acknowledged.push_back(*p);
}

int64_t PgStore::PointId(const std::string& jobUuid, const std::string& pointUuid) {
  if (m_pointsOf.insert(jobUuid).second) {
    pg::Rows rows = m_db->Query(
        "SELECT p.uuid, p.id FROM points p JOIN jobs j ON j.id = p.job_id WHERE j.uuid = $1", {Text(jobUuid)});
    for (int i = 0; i < rows.Count(); ++i) m_pointIds[rows.Text(i, 0)] = rows.Int(i, 1);
  }
  const auto it = m_pointIds.find(pointUuid);
  if (it == m_pointIds.end()) Refuse("the server lacks point " + pointUuid + " of job " + jobUuid);
  return it->second;
}

SyncCounts PgStore::PushResults(std::vector<SyncResult> results) {
  SyncCounts counts;
  if (results.empty()) return counts;
  // In UUID order: concurrent syncs lock rows in one order and cannot deadlock.
  std::sort(results.begin(), results.end(),
            [](const SyncResult& a, const SyncResult& b) { return a.result.uuid < b.result.uuid; });
  std::set<std::string> jobUuids;
  for (const SyncResult& s : results) jobUuids.insert(s.jobUuid);
  // The batch's rows as COPY takes them; a point the server lacks is refused
  // before anything is sent.
  std::string rows;
  for (const SyncResult& s : results) {
    const Result& r = s.result;
    pg::CopyRow(rows, {Text(r.uuid), Number(PointId(s.jobUuid, s.pointUuid)), Number(int64_t{r.wavelengthNm}),
                       Number(r.powerDbm), Number(r.powerMw), Number(r.lossDb), Text(VerdictText(r.verdict)),
                       Number(int64_t{r.samples}), Number(r.spanDb), Number(int64_t{r.unstable ? 1 : 0}),
                       Text(r.operatorName), Text(r.measured), Number(int64_t{s.superseded ? 1 : 0}),
                       TextOrNull(r.firstReadingAt), TextOrNull(r.lastReadingAt)});
  }
  pg::Transaction t(*m_db);
  // The jobs' locks first, in UUID order as PushJobs takes them: a job's
  // counts are moved by one writer at a time, after the other's commit.
  for (const std::string& uuid : jobUuids) m_db->Query("SELECT pg_advisory_xact_lock(hashtext($1))", {Text(uuid)});
  // A table of this connection's own, made by its first batch and emptied by
  // each (emptying it at every commit instead costs more than the batch's rows).
  m_db->Execute(
      "CREATE TEMPORARY TABLE IF NOT EXISTS incoming_results (uuid TEXT, point_id BIGINT, wavelength_nm INTEGER, "
      "power_dbm DOUBLE PRECISION, power_mw DOUBLE PRECISION, loss_db DOUBLE PRECISION, verdict TEXT, "
      "samples INTEGER, span_db DOUBLE PRECISION, unstable INTEGER, operator TEXT, measured_at TEXT, "
      "superseded INTEGER, first_reading_at TEXT, last_reading_at TEXT); DELETE FROM incoming_results");
  m_db->CopyIn("COPY incoming_results FROM STDIN", rows);
  // Measured first: the plans below look rows up by index only when they
  // know the batch is small. Then, before the batch goes in, each point it
  // touches moves from its count now to its count after it: the worst of its
  // latest results, less those the batch supersedes, with the batch's new
  // latest ones. The jobs' counts stay right without counting them again.
  // Set by set, so that the cost grows with the batch alone.
  m_db->Execute(
      "ANALYZE incoming_results;"
      "WITH t AS (SELECT p.id, p.job_id FROM points p "
      "  WHERE p.removed_at IS NULL AND p.id IN (SELECT point_id FROM incoming_results)), "
      "now AS (SELECT r.point_id, r.uuid, " + schema::WorstRankOf("r.verdict") + " AS rank "
      "  FROM results r JOIN t ON r.point_id = t.id WHERE r.superseded = 0), "
      "kept AS (SELECT point_id, rank FROM now "
      "    WHERE uuid NOT IN (SELECT uuid FROM incoming_results WHERE superseded = 1) "
      "  UNION ALL SELECT i.point_id, " + schema::WorstRankOf("i.verdict") + " FROM incoming_results i "
      "    WHERE i.superseded = 0 AND NOT EXISTS (SELECT 1 FROM results r WHERE r.uuid = i.uuid)), "
      "b AS (SELECT point_id, max(rank) AS worst FROM now GROUP BY point_id), "
      "a AS (SELECT point_id, max(rank) AS worst FROM kept GROUP BY point_id), "
      "w AS (SELECT t.job_id, b.worst AS before, a.worst AS after FROM t "
      "  LEFT JOIN b ON b.point_id = t.id LEFT JOIN a ON a.point_id = t.id) "
      "UPDATE job_counts c SET pass = c.pass + d.pass, marginal = c.marginal + d.marginal, "
      "fail = c.fail + d.fail, untested = c.untested + d.untested FROM ("
      "SELECT job_id, "
      "sum((after IS NOT DISTINCT FROM 1)::int - (before IS NOT DISTINCT FROM 1)::int) AS pass, "
      "sum((after IS NOT DISTINCT FROM 2)::int - (before IS NOT DISTINCT FROM 2)::int) AS marginal, "
      "sum((after IS NOT DISTINCT FROM 3)::int - (before IS NOT DISTINCT FROM 3)::int) AS fail, "
      "sum((after IS NULL)::int - (before IS NULL)::int) AS untested "
      "FROM w GROUP BY job_id) d WHERE c.job_id = d.job_id");
  // The whole batch in one statement; a row comes back for each result it added.
  pg::Rows added = m_db->Query(
      "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, loss_db, verdict, samples, span_db, "
      "unstable, operator, measured_at, superseded, first_reading_at, last_reading_at) "
      "SELECT * FROM incoming_results ORDER BY uuid ON CONFLICT (uuid) DO NOTHING RETURNING uuid");
  counts.sent = added.Count();
  counts.alreadyThere = static_cast<int64_t>(results.size()) - counts.sent;
  // Superseded here since the server got them: marked there too, never taken back.
  m_db->Execute(
      "UPDATE results r SET superseded = 1 FROM incoming_results i "
      "WHERE i.superseded = 1 AND r.uuid = i.uuid AND r.superseded = 0");
  t.Commit();
  return counts;
}

// ---- reading --------------------------------------------------------------------

std::vector<Profile> PgStore::UserProfiles() { return {}; }

int64_t PgStore::JobId(const std::string& name) {
  pg::Rows rows = m_db->Query("SELECT id FROM jobs WHERE name = $1", {Text(name)});
  if (rows.Count() == 0) Refuse("the server has no job named " + name);
  return rows.Int(0, 0);
}

std::optional<Job> PgStore::FindJob(const std::string& name) {
  pg::Rows s = m_db->Query(
      "SELECT id, uuid, name, site, operator, notes, profile_id, profile_name, margin_db, loss_min_db, loss_max_db, "
      "created_at, samples FROM jobs WHERE name = $1",
      {Text(name)});
  if (s.Count() == 0) return std::nullopt;
  const int64_t id = s.Int(0, 0);
  Job job;
  job.uuid = s.Text(0, 1);
  job.name = s.Text(0, 2);
  job.site = s.Text(0, 3);
  job.operatorName = s.Text(0, 4);
  job.notes = s.Text(0, 5);
  job.profile.id = s.Text(0, 6);
  job.profile.name = s.Text(0, 7);
  job.profile.marginDb = s.Real(0, 8);
  job.profile.lossBudget = {s.OptionalReal(0, 9), s.OptionalReal(0, 10)};
  job.created = s.Text(0, 11);
  job.samples = static_cast<int>(s.Int(0, 12));
  pg::Rows l = m_db->Query("SELECT wavelength_nm, low_dbm, high_dbm FROM job_limits WHERE job_id = $1", {Number(id)});
  for (int i = 0; i < l.Count(); ++i) {
    job.profile.limits[static_cast<int>(l.Int(i, 0))] = {l.OptionalReal(i, 1), l.OptionalReal(i, 2)};
  }
  pg::Rows r = m_db->Query("SELECT wavelength_nm, reference_dbm FROM job_references WHERE job_id = $1", {Number(id)});
  for (int i = 0; i < r.Count(); ++i) job.referencesDbm[static_cast<int>(r.Int(i, 0))] = r.Real(i, 1);
  ValueReadBack("the job " + name, JobProblem(job));
  return job;
}

std::vector<JobSummary> PgStore::ListJobs() {
  // The counts sync keeps per job: a team's million results are not read.
  pg::Rows s = m_db->Query(schema::ListJobs());
  std::vector<JobSummary> jobs;
  for (int i = 0; i < s.Count(); ++i) {
    jobs.push_back({s.Text(i, 0), s.Text(i, 1), s.Text(i, 2), s.Text(i, 3), static_cast<int>(s.Int(i, 4)),
                    static_cast<int>(s.Int(i, 5)), static_cast<int>(s.Int(i, 6)), static_cast<int>(s.Int(i, 7)),
                    static_cast<int>(s.Int(i, 8))});
  }
  return jobs;
}

std::vector<std::string> PgStore::Points(const std::string& job) {
  pg::Rows s = m_db->Query("SELECT label FROM points WHERE job_id = $1 AND removed_at IS NULL ORDER BY position, id",
                           {Number(JobId(job))});
  std::vector<std::string> labels;
  for (int i = 0; i < s.Count(); ++i) labels.push_back(s.Text(i, 0));
  return labels;
}

std::vector<Result> PgStore::LatestResults(const std::string& job) {
  pg::Rows s = m_db->Query(
      "SELECT p.label, r.uuid, r.wavelength_nm, r.power_dbm, r.power_mw, r.loss_db, r.verdict, r.samples, "
      "r.span_db, r.unstable, r.operator, r.measured_at, r.first_reading_at, r.last_reading_at FROM points p "
      "JOIN results r ON r.point_id = p.id AND r.superseded = 0 "
      "WHERE p.job_id = $1 AND p.removed_at IS NULL ORDER BY p.position, p.id, r.wavelength_nm",
      {Number(JobId(job))});
  std::vector<Result> results;
  for (int i = 0; i < s.Count(); ++i) {
    Result r;
    r.point = s.Text(i, 0);
    r.uuid = s.Text(i, 1);
    r.wavelengthNm = static_cast<int>(s.Int(i, 2));
    r.powerDbm = s.Real(i, 3);
    r.powerMw = s.Real(i, 4);
    r.lossDb = s.OptionalReal(i, 5);
    const std::string what = "a result of the point " + r.point + " in the job " + job;
    const std::optional<Verdict> verdict = VerdictFromText(s.Text(i, 6));
    if (!verdict) ValueReadBack(what, "verdict \"" + s.Text(i, 6) + "\" is none of PASS, MARGINAL, FAIL, NO LIMIT");
    r.verdict = *verdict;
    r.samples = static_cast<int>(s.Int(i, 7));
    r.spanDb = s.Real(i, 8);
    r.unstable = s.Int(i, 9) != 0;
    r.operatorName = s.Text(i, 10);
    r.measured = s.Text(i, 11);
    r.firstReadingAt = s.Text(i, 12);  // NULL reads as empty: unknown
    r.lastReadingAt = s.Text(i, 13);
    ValueReadBack(what, ResultProblem(r));
    results.push_back(std::move(r));
  }
  return results;
}

}  // namespace jobs
