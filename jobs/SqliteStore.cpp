#include "jobs/SqliteStore.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <system_error>

#include "field/LiveLog.h"
#include "jobs/JobRules.h"
#include "jobs/JobTextRules.h"
#include "jobs/PointPattern.h"
#include "jobs/Sqlite.h"
#include "jobs/StoreSchema.h"
#include "jobs/Uuid.h"
#include "common/FileAccess.h"
#include "common/FilePath.h"

namespace jobs {

namespace {

[[noreturn]] void Unusable(const std::string& path, const std::string& why) {
  throw StoreError(StoreError::Kind::Unusable, path + ": " + why);
}

std::string Now() { return field::IsoLocalTime(std::time(nullptr)); }

// A refusal of a value read back from the store: the store was edited by
// hand or is damaged, and nothing is computed with the value.
void CheckRead(const std::string& path, const std::string& what, const std::string& problem) {
  if (!problem.empty()) Unusable(path, what + ": " + problem);
}

// A whole number read from the store as an int; beyond int's range it is
// held at its ends, which every check of it refuses.
int IntOf(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The tables and indexes of a store, as "type name".
std::set<std::string> SchemaObjects(sql::Connection& db) {
  std::set<std::string> objects;
  sql::Statement s(db, "SELECT type || ' ' || name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'");
  while (s.Step()) objects.insert(s.Text(0));
  return objects;
}

// What LookAtFile found at the store's path.
struct StoreFile {
  bool present = false;   // a file is there (perhaps empty)
  bool empty = false;     // it holds no committed data: a new store
  bool inUse = false;     // a "-wal" file is beside it: a program has it open, or had
  int64_t version = 0;    // its schema version
};

// Looks at an existing file before SQLite writes anything to it: the file's
// own header, then, read-only, what it says it is: its application id, its
// schema version and the tables of that version. Throws for anything but a
// results store this program can read. Reads the same few pages however
// many results the store holds; the full check of every page is `job check`.
StoreFile LookAtFile(const std::string& path) {
  StoreFile file;
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(filepath::Of(path), ec);
  if (st.type() == std::filesystem::file_type::not_found) return file;
  // A link that leads to itself, or a folder the user may not enter.
  if (ec) Unusable(path, "cannot be opened: " + ec.message());
  if (!std::filesystem::is_regular_file(st)) Unusable(path, "is not a results store");
  file.present = true;
  std::error_code walEc;
  const std::uintmax_t walSize = std::filesystem::file_size(filepath::Of(path + "-wal"), walEc);
  file.inUse = !walEc;
  {
    std::ifstream in(filepath::Of(path), std::ios::binary);
    if (!in) Unusable(path, "cannot be opened: " + std::error_code(errno, std::generic_category()).message());
    char header[16] = {};
    in.read(header, sizeof header);
    // A store whose first writer was stopped (killed, or the disk full)
    // before its first commit is an empty file: nothing is lost by making
    // the store in it.
    if (in.gcount() == 0 && (walEc || walSize == 0)) {
      file.empty = true;
      return file;
    }
    if (in.gcount() != 0 &&
        (in.gcount() != sizeof header || std::string(header, sizeof header) != std::string("SQLite format 3\0", 16))) {
      Unusable(path, "is not a results store");
    }
  }
  // Read as the file alone unless a program has it open in WAL mode (its
  // "-wal" file is there): a refused file gets no files made beside it.
  sql::Connection db(path, file.inUse ? sql::Connection::Mode::ReadOnly : sql::Connection::Mode::Immutable);
  sql::Statement app(db, "PRAGMA application_id");
  app.Step();
  const int64_t id = app.Int(0);
  sql::Statement version(db, "PRAGMA user_version");
  version.Step();
  file.version = version.Int(0);
  const std::set<std::string> objects = SchemaObjects(db);
  if (id != schema::kApplicationId) {
    // A store begun by another process that has not written its tables yet
    // is empty; anything else with another application id is not ours.
    if (id != 0 || !objects.empty()) Unusable(path, "is an SQLite database but not a results store");
  }
  if (file.version < 0) {
    Unusable(path, "is an SQLite database but not a results store (store version " + std::to_string(file.version) +
                       ")");
  }
  if (file.version > schema::CurrentVersion()) {
    Unusable(path, "was written by a newer version of the program (store version " + std::to_string(file.version) +
                       ", this program reads up to " + std::to_string(schema::CurrentVersion()) + ")");
  }
  for (const std::string& wanted : schema::Objects(file.version)) {
    if (!objects.contains(wanted)) {
      Unusable(path, "is an SQLite database but not a results store (store version " +
                         std::to_string(file.version) + " without its " + wanted + ")");
    }
  }
  return file;
}

}  // namespace

SqliteStore::SqliteStore(const std::string& path, Access access) {
  const StoreFile file = LookAtFile(path);
  if (!file.present) {
    const std::filesystem::path parent = filepath::Of(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) Unusable(path, "its folder cannot be made: " + ec.message());
  }
  // A command that only reads a store of this version in a folder the user
  // may not write opens it read-only. Nobody can be writing it there unless
  // a journal is beside it (a writer makes one), so without one it is read
  // as the file alone. Where the folder takes files the store is opened as
  // for writing, so that closing it removes its journal and its shared
  // memory file again, which a read-only connection would leave behind.
  const bool readOnly = access == Access::ReadOnly && file.present && !file.empty &&
                        file.version == schema::CurrentVersion() && !fileaccess::FolderTakesNewFiles(path);
  sql::Connection::Mode mode = file.present ? sql::Connection::Mode::ReadWrite : sql::Connection::Mode::Create;
  if (readOnly) mode = file.inUse ? sql::Connection::Mode::ReadOnly : sql::Connection::Mode::Immutable;
  m_db = std::make_unique<sql::Connection>(path, mode);
  if (!readOnly) {
    m_db->Execute("PRAGMA journal_mode = WAL");
    // Each commit reaches the disk before the capture is reported stored.
    m_db->Execute(access == Access::Sync ? "PRAGMA synchronous = NORMAL" : "PRAGMA synchronous = FULL");
  }
  m_db->Execute("PRAGMA foreign_keys = ON");
  if (!readOnly) Migrate();
}

SqliteStore::~SqliteStore() = default;

void SqliteStore::Migrate() {
  {
    sql::Statement version(*m_db, "PRAGMA user_version");
    version.Step();
    if (version.Int(0) == schema::CurrentVersion()) return;
  }
  sql::WriteTransaction t(*m_db);
  // Read again under the write lock: another process may have migrated. The
  // statement ends before the steps run: an index is not dropped under a read.
  int64_t from = 0;
  {
    sql::Statement version(*m_db, "PRAGMA user_version");
    version.Step();
    from = version.Int(0);
  }
  if (from > schema::CurrentVersion()) Unusable(m_db->Path(), "was written by a newer version of the program");
  if (from < 0) Unusable(m_db->Path(), "is an SQLite database but not a results store");
  const std::vector<std::string> steps = schema::Migrations(schema::Dialect::Sqlite);
  for (int64_t v = from; v < schema::CurrentVersion(); ++v) m_db->Execute(steps[static_cast<size_t>(v)]);
  m_db->Execute("PRAGMA application_id = " + std::to_string(schema::kApplicationId));
  m_db->Execute("PRAGMA user_version = " + std::to_string(schema::CurrentVersion()));
  t.Commit();
}

// ---- profiles -----------------------------------------------------------------

std::vector<Profile> SqliteStore::UserProfiles() {
  std::vector<Profile> profiles;
  std::map<std::string, size_t> at;
  sql::Statement p(*m_db, "SELECT id, name, margin_db, loss_min_db, loss_max_db FROM user_profiles ORDER BY id");
  while (p.Step()) {
    Profile profile;
    profile.id = p.Text(0);
    profile.name = p.Text(1);
    profile.marginDb = p.Real(2);
    profile.lossBudget = {p.OptionalReal(3), p.OptionalReal(4)};
    at[profile.id] = profiles.size();
    profiles.push_back(std::move(profile));
  }
  sql::Statement l(*m_db, "SELECT profile_id, wavelength_nm, low_dbm, high_dbm FROM user_profile_limits");
  while (l.Step()) {
    const auto it = at.find(l.Text(0));
    if (it != at.end()) profiles[it->second].limits[IntOf(l.Int(1))] = {l.OptionalReal(2), l.OptionalReal(3)};
  }
  for (const Profile& profile : profiles) {
    CheckRead(m_db->Path(), "the profile " + profile.id, ProfileProblem(profile));
  }
  return profiles;
}

void SqliteStore::SaveUserProfile(const Profile& profile) {
  for (const Profile& p : BuiltInProfiles()) {
    if (p.id == profile.id) Refuse("the profile " + profile.id + " is built in");
  }
  if (std::string problem = LabelProblem(profile.id); !problem.empty()) Refuse(problem);
  if (std::string problem = ProfileProblem(profile); !problem.empty()) Refuse("the profile " + profile.id + ": " + problem);
  sql::WriteTransaction t(*m_db);
  sql::Statement(*m_db, "DELETE FROM user_profile_limits WHERE profile_id = ?").Bind(1, profile.id).Run();
  sql::Statement(*m_db,
                 "INSERT OR REPLACE INTO user_profiles (id, name, margin_db, loss_min_db, loss_max_db) "
                 "VALUES (?, ?, ?, ?, ?)")
      .Bind(1, profile.id).Bind(2, profile.name).Bind(3, profile.marginDb)
      .Bind(4, profile.lossBudget.low).Bind(5, profile.lossBudget.high).Run();
  sql::Statement limit(*m_db, "INSERT INTO user_profile_limits VALUES (?, ?, ?, ?)");
  for (const auto& [nm, range] : profile.limits) {
    limit.Reset();
    limit.Bind(1, profile.id).Bind(2, nm).Bind(3, range.low).Bind(4, range.high).Run();
  }
  t.Commit();
}

// ---- jobs -----------------------------------------------------------------------

int64_t SqliteStore::JobId(const std::string& name) {
  sql::Statement s(*m_db, "SELECT id FROM jobs WHERE name = ?");
  s.Bind(1, name);
  if (!s.Step()) Refuse("there is no job named " + name);
  return s.Int(0);
}

void SqliteStore::CreateJob(const Job& job, const std::vector<std::string>& points) {
  if (std::string problem = JobTextProblem(job); !problem.empty()) Refuse(problem);
  if (std::string problem = AdditionProblem({}, points); !problem.empty()) Refuse(problem);
  if (std::string problem = JobProblem(job); !problem.empty()) Refuse("the job " + job.name + ": " + problem);
  sql::WriteTransaction t(*m_db);
  {
    // Read from the table itself, not its index of names: an index that no
    // longer matches its table (damage only the full check sees) would let
    // a second job of one name in, which no later command could tell apart.
    sql::Statement taken(*m_db, "SELECT 1 FROM jobs NOT INDEXED WHERE name = ?");
    taken.Bind(1, job.name);
    if (taken.Step()) Refuse("a job named " + job.name + " exists");
  }
  sql::Statement(*m_db,
                 "INSERT INTO jobs (uuid, name, site, operator, notes, profile_id, profile_name, margin_db, "
                 "loss_min_db, loss_max_db, created_at, samples) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
      .Bind(1, job.uuid.empty() ? NewUuid() : job.uuid).Bind(2, job.name).Bind(3, job.site)
      .Bind(4, job.operatorName).Bind(5, job.notes).Bind(6, job.profile.id).Bind(7, job.profile.name)
      .Bind(8, job.profile.marginDb).Bind(9, job.profile.lossBudget.low).Bind(10, job.profile.lossBudget.high)
      .Bind(11, job.created.empty() ? Now() : job.created).Bind(12, job.samples).Run();
  const int64_t id = m_db->LastInsertId();
  sql::Statement limit(*m_db, "INSERT INTO job_limits VALUES (?, ?, ?, ?)");
  for (const auto& [nm, range] : job.profile.limits) {
    limit.Reset();
    limit.Bind(1, id).Bind(2, nm).Bind(3, range.low).Bind(4, range.high).Run();
  }
  sql::Statement reference(*m_db, "INSERT INTO job_references VALUES (?, ?, ?)");
  for (const auto& [nm, dbm] : job.referencesDbm) {
    reference.Reset();
    reference.Bind(1, id).Bind(2, nm).Bind(3, dbm).Run();
  }
  sql::Statement point(*m_db, "INSERT INTO points (job_id, position, label, uuid) VALUES (?, ?, ?, ?)");
  int position = 0;
  for (const std::string& label : points) {
    point.Reset();
    point.Bind(1, id).Bind(2, ++position).Bind(3, label).Bind(4, NewUuid()).Run();
  }
  RefreshCounts(id);
  t.Commit();
}

void SqliteStore::RenameJob(const std::string& from, const std::string& to) {
  if (std::string problem = TextProblem(TextKind::Name, to); !problem.empty()) Refuse(problem);
  sql::WriteTransaction t(*m_db);
  const int64_t id = JobId(from);
  {
    sql::Statement taken(*m_db, "SELECT 1 FROM jobs WHERE name = ?");
    taken.Bind(1, to);
    if (taken.Step()) Refuse("a job named " + to + " exists");
  }
  sql::Statement(*m_db, "UPDATE jobs SET name = ? WHERE id = ?").Bind(1, to).Bind(2, id).Run();
  t.Commit();
}

std::optional<Job> SqliteStore::FindJob(const std::string& name) {
  sql::Statement s(*m_db,
                   "SELECT id, uuid, name, site, operator, notes, profile_id, profile_name, margin_db, "
                   "loss_min_db, loss_max_db, created_at, samples FROM jobs WHERE name = ?");
  s.Bind(1, name);
  if (!s.Step()) return std::nullopt;
  const int64_t id = s.Int(0);
  Job job;
  job.uuid = s.Text(1);
  job.name = s.Text(2);
  job.site = s.Text(3);
  job.operatorName = s.Text(4);
  job.notes = s.Text(5);
  job.profile.id = s.Text(6);
  job.profile.name = s.Text(7);
  job.profile.marginDb = s.Real(8);
  job.profile.lossBudget = {s.OptionalReal(9), s.OptionalReal(10)};
  job.created = s.Text(11);
  job.samples = IntOf(s.Int(12));
  sql::Statement l(*m_db, "SELECT wavelength_nm, low_dbm, high_dbm FROM job_limits WHERE job_id = ?");
  l.Bind(1, id);
  while (l.Step()) job.profile.limits[IntOf(l.Int(0))] = {l.OptionalReal(1), l.OptionalReal(2)};
  sql::Statement r(*m_db, "SELECT wavelength_nm, reference_dbm FROM job_references WHERE job_id = ?");
  r.Bind(1, id);
  while (r.Step()) job.referencesDbm[IntOf(r.Int(0))] = r.Real(1);
  CheckRead(m_db->Path(), "the job " + job.name, JobProblem(job));
  return job;
}

std::vector<JobSummary> SqliteStore::ListJobs() {
  sql::Statement s(*m_db, schema::ListJobs());
  std::vector<JobSummary> jobs;
  while (s.Step()) {
    jobs.push_back({s.Text(0), s.Text(1), s.Text(2), s.Text(3), static_cast<int>(s.Int(4)),
                    static_cast<int>(s.Int(5)), static_cast<int>(s.Int(6)), static_cast<int>(s.Int(7)),
                    static_cast<int>(s.Int(8))});
  }
  return jobs;
}

std::optional<double> SqliteStore::PointWorst(int64_t pointId) {
  sql::Statement s(*m_db, schema::PointWorst());
  s.Bind(1, pointId);
  s.Step();
  return s.OptionalReal(0);
}

void SqliteStore::RefreshCounts(int64_t jobId) {
  sql::Statement(*m_db, schema::RefreshJobCounts(schema::Dialect::Sqlite)).Bind(1, jobId).Run();
}

// ---- points ---------------------------------------------------------------------

std::vector<std::string> SqliteStore::PointLabels(int64_t jobId) {
  sql::Statement s(*m_db, "SELECT label FROM points WHERE job_id = ? AND removed_at IS NULL ORDER BY position, id");
  s.Bind(1, jobId);
  std::vector<std::string> labels;
  while (s.Step()) labels.push_back(s.Text(0));
  return labels;
}

std::vector<std::string> SqliteStore::Points(const std::string& job) { return PointLabels(JobId(job)); }

void SqliteStore::AddPoints(const std::string& job, const std::vector<std::string>& labels) {
  sql::WriteTransaction t(*m_db);
  const int64_t id = JobId(job);
  if (std::string problem = AdditionProblem(PointLabels(id), labels); !problem.empty()) Refuse(problem);
  sql::Statement last(*m_db, "SELECT coalesce(max(position), 0) FROM points WHERE job_id = ?");
  last.Bind(1, id);
  last.Step();
  int64_t position = last.Int(0);
  sql::Statement point(*m_db, "INSERT INTO points (job_id, position, label, uuid) VALUES (?, ?, ?, ?)");
  for (const std::string& label : labels) {
    point.Reset();
    point.Bind(1, id).Bind(2, ++position).Bind(3, label).Bind(4, NewUuid()).Run();
  }
  RefreshCounts(id);
  t.Commit();
}

void SqliteStore::RenamePoint(const std::string& job, const std::string& from, const std::string& to) {
  sql::WriteTransaction t(*m_db);
  const int64_t id = JobId(job);
  std::vector<std::string> others = PointLabels(id);
  const auto it = std::find(others.begin(), others.end(), from);
  if (it == others.end()) Refuse("there is no point " + from + " in the job " + job);
  others.erase(it);
  if (std::string problem = AdditionProblem(others, {to}); !problem.empty()) Refuse(problem);
  sql::Statement(*m_db, "UPDATE points SET label = ? WHERE job_id = ? AND label = ? AND removed_at IS NULL")
      .Bind(1, to).Bind(2, id).Bind(3, from).Run();
  t.Commit();
}

void SqliteStore::RemovePoint(const std::string& job, const std::string& label) {
  sql::WriteTransaction t(*m_db);
  const int64_t id = JobId(job);
  sql::Statement s(*m_db, "UPDATE points SET removed_at = ? WHERE job_id = ? AND label = ? AND removed_at IS NULL");
  s.Bind(1, Now()).Bind(2, id).Bind(3, label).Run();
  if (m_db->Changes() == 0) Refuse("there is no point " + label + " in the job " + job);
  RefreshCounts(id);
  t.Commit();
}

void SqliteStore::SetReference(const std::string& job, int wavelengthNm, std::optional<double> dbm) {
  if (dbm) {
    if (std::string problem = ReferenceProblem(wavelengthNm, *dbm); !problem.empty()) Refuse(problem);
  }
  sql::WriteTransaction t(*m_db);
  const int64_t id = JobId(job);
  if (dbm) {
    sql::Statement(*m_db, "INSERT OR REPLACE INTO job_references VALUES (?, ?, ?)")
        .Bind(1, id).Bind(2, wavelengthNm).Bind(3, *dbm).Run();
  } else {
    sql::Statement(*m_db, "DELETE FROM job_references WHERE job_id = ? AND wavelength_nm = ?")
        .Bind(1, id).Bind(2, wavelengthNm).Run();
  }
  t.Commit();
}

void SqliteStore::SetSamples(const std::string& job, int samples) {
  if (std::string problem = SamplesProblem(samples); !problem.empty()) Refuse(problem);
  sql::WriteTransaction t(*m_db);
  sql::Statement(*m_db, "UPDATE jobs SET samples = ? WHERE id = ?").Bind(1, samples).Bind(2, JobId(job)).Run();
  t.Commit();
}

// ---- results --------------------------------------------------------------------

void SqliteStore::AddResult(const std::string& job, Result& result) {
  if (std::string problem = ResultProblem(result); !problem.empty()) Refuse("a result of " + result.point + ": " + problem);
  sql::WriteTransaction t(*m_db);
  const int64_t jobId = JobId(job);
  sql::Statement p(*m_db, "SELECT id FROM points WHERE job_id = ? AND label = ? AND removed_at IS NULL");
  p.Bind(1, jobId).Bind(2, result.point);
  if (!p.Step()) Refuse("there is no point " + result.point + " in the job " + job);
  const int64_t point = p.Int(0);
  const std::optional<double> worstBefore = PointWorst(point);
  sql::Statement(*m_db, "UPDATE results SET superseded = 1 WHERE point_id = ? AND wavelength_nm = ? AND superseded = 0")
      .Bind(1, point).Bind(2, result.wavelengthNm).Run();
  if (result.uuid.empty()) result.uuid = NewUuid();
  sql::Statement(*m_db,
                 "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, loss_db, verdict, "
                 "samples, span_db, unstable, operator, measured_at, first_reading_at, last_reading_at) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
      .Bind(1, result.uuid).Bind(2, point).Bind(3, result.wavelengthNm).Bind(4, result.powerDbm)
      .Bind(5, result.powerMw).Bind(6, result.lossDb).Bind(7, VerdictText(result.verdict)).Bind(8, result.samples)
      .Bind(9, result.spanDb).Bind(10, result.unstable ? 1 : 0).Bind(11, result.operatorName)
      .Bind(12, result.measured).BindTextOrNull(13, result.firstReadingAt).BindTextOrNull(14, result.lastReadingAt)
      .Run();
  sql::Statement(*m_db, schema::MoveJobCount()).Bind(1, worstBefore).Bind(2, PointWorst(point)).Bind(3, jobId).Run();
  t.Commit();
}

// A result's columns as the queries below select them, from `first` on: uuid,
// wavelength_nm, power_dbm, power_mw, loss_db, verdict, samples, span_db,
// unstable, operator, measured_at, first_reading_at, last_reading_at. `what`
// names it in a refusal; it is made only then, not for each of a job's rows.
// Filled into `r` where it is kept: a job's tens of thousands of results are
// not moved once more each.
template <typename What>
static void ReadResult(sql::Statement& s, int first, const std::string& path, const What& what, Result& r) {
  r.uuid = s.Text(first);
  r.wavelengthNm = IntOf(s.Int(first + 1));
  r.powerDbm = s.Real(first + 2);
  r.powerMw = s.Real(first + 3);
  r.lossDb = s.OptionalReal(first + 4);
  const std::string verdict = s.Text(first + 5);
  const std::optional<Verdict> known = VerdictFromText(verdict);
  if (!known) CheckRead(path, what(), "verdict \"" + verdict + "\" is none of PASS, MARGINAL, FAIL, NO LIMIT");
  r.verdict = *known;
  r.samples = IntOf(s.Int(first + 6));
  r.spanDb = s.Real(first + 7);
  r.unstable = s.Int(first + 8) != 0;
  r.operatorName = s.Text(first + 9);
  r.measured = s.Text(first + 10);
  r.firstReadingAt = s.Text(first + 11);  // NULL reads as empty: unknown
  r.lastReadingAt = s.Text(first + 12);
  if (std::string problem = ResultProblem(r); !problem.empty()) CheckRead(path, what(), problem);
}

std::vector<Result> SqliteStore::LatestResults(const std::string& job) {
  const int64_t id = JobId(job);
  sql::Statement s(*m_db,
                   "SELECT p.label, r.uuid, r.wavelength_nm, r.power_dbm, r.power_mw, r.loss_db, r.verdict, "
                   "r.samples, r.span_db, r.unstable, r.operator, r.measured_at, r.first_reading_at, "
                   "r.last_reading_at FROM points p "
                   "JOIN results r ON r.point_id = p.id AND r.superseded = 0 "
                   "WHERE p.job_id = ? AND p.removed_at IS NULL ORDER BY p.position, p.id, r.wavelength_nm");
  s.Bind(1, id);
  std::vector<Result> results;
  while (s.Step()) {
    Result& r = results.emplace_back();
    r.point = s.Text(0);
    ReadResult(s, 1, m_db->Path(), [&] { return "a result of the point " + r.point + " in the job " + job; }, r);
  }
  return results;
}

// ---- sync ---------------------------------------------------------------------

std::vector<SyncJob> SqliteStore::JobsForSync() {
  std::vector<SyncJob> jobs;
  std::vector<std::string> names;
  {
    sql::Statement s(*m_db, "SELECT name FROM jobs ORDER BY id");
    while (s.Step()) names.push_back(s.Text(0));
  }
  for (const std::string& name : names) {
    SyncJob sync;
    sync.job = *FindJob(name);
    sql::Statement p(*m_db,
                     "SELECT uuid, position, label, removed_at, acked_label FROM points WHERE job_id = ? "
                     "ORDER BY position, id");
    p.Bind(1, JobId(name));
    const auto optional = [&p](int column) {
      return p.IsNull(column) ? std::nullopt : std::optional<std::string>(p.Text(column));
    };
    while (p.Step()) sync.points.push_back({p.Text(0), p.Int(1), p.Text(2), optional(3), optional(4)});
    jobs.push_back(std::move(sync));
  }
  return jobs;
}

std::vector<SyncResult> SqliteStore::UnsentResults(int64_t afterId, size_t limit) {
  sql::Statement s(*m_db,
                   "SELECT r.id, j.uuid, p.uuid, r.uuid, r.wavelength_nm, r.power_dbm, r.power_mw, r.loss_db, "
                   "r.verdict, r.samples, r.span_db, r.unstable, r.operator, r.measured_at, r.first_reading_at, "
                   "r.last_reading_at, r.superseded, p.label "
                   "FROM results r JOIN points p ON p.id = r.point_id JOIN jobs j ON j.id = p.job_id "
                   "WHERE r.id > ? AND (r.acked_superseded IS NULL OR r.acked_superseded <> r.superseded) "
                   "ORDER BY r.id LIMIT ?");
  s.Bind(1, afterId).Bind(2, static_cast<int64_t>(limit));
  std::vector<SyncResult> results;
  while (s.Step()) {
    SyncResult x;
    x.localId = s.Int(0);
    x.jobUuid = s.Text(1);
    x.pointUuid = s.Text(2);
    ReadResult(s, 3, m_db->Path(), [&] { return "the result " + s.Text(3); }, x.result);
    x.superseded = s.Int(16) != 0;
    x.result.point = s.Text(17);
    results.push_back(std::move(x));
  }
  return results;
}

void SqliteStore::Acknowledge(const std::vector<SyncResult>& results) {
  sql::WriteTransaction t(*m_db);
  sql::Statement s(*m_db, "UPDATE results SET acked_superseded = ? WHERE id = ?");
  for (const SyncResult& r : results) {
    s.Reset();
    s.Bind(1, r.superseded ? 1 : 0).Bind(2, r.localId).Run();
  }
  t.Commit();
}

void SqliteStore::AcknowledgeLabels(const std::vector<SyncPoint>& points) {
  if (points.empty()) return;
  sql::WriteTransaction t(*m_db);
  sql::Statement s(*m_db, "UPDATE points SET acked_label = ? WHERE uuid = ?");
  for (const SyncPoint& p : points) {
    s.Reset();
    s.Bind(1, p.label).Bind(2, p.uuid).Run();
  }
  t.Commit();
}

std::string SqliteStore::IntegrityProblem() {
  // Every page, every index against its table: this reads the whole store,
  // which is why opening it does not.
  sql::Statement check(*m_db, "PRAGMA integrity_check(1)");
  if (!check.Step()) return "the integrity check gave no answer";
  const std::string answer = check.Text(0);
  return answer == "ok" ? std::string() : answer;
}

void SqliteStore::UseServer(const std::string& serverId) {
  // The read ends before the write begins: a write started inside a read
  // whose snapshot another sync of this store has since overtaken fails at
  // once, without waiting its turn.
  {
    sql::Statement s(*m_db, "SELECT value FROM store_info WHERE key = 'acked_by'");
    if (s.Step() && s.Text(0) == serverId) return;
  }
  sql::WriteTransaction t(*m_db);
  m_db->Execute("UPDATE results SET acked_superseded = NULL WHERE acked_superseded IS NOT NULL");
  m_db->Execute("UPDATE points SET acked_label = NULL WHERE acked_label IS NOT NULL");
  sql::Statement(*m_db, "INSERT OR REPLACE INTO store_info (key, value) VALUES ('acked_by', ?)").Bind(1, serverId).Run();
  t.Commit();
}

}  // namespace jobs
