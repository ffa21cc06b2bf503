#include "jobs/StoreSchema.h"

#include <iterator>
#include <sstream>

namespace jobs::schema {

namespace {

// The steps as written once for both engines: {PK} is a row id the engine
// numbers itself, {{REAL}} an 8-byte floating-point number.
const std::vector<std::string_view>& Steps() {
  static const std::vector<std::string_view> kSteps = {
      // 1: jobs with their copied profile limits, references, points and results.
      R"sql(
CREATE TABLE jobs (
  id {PK},
  uuid TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL UNIQUE,
  site TEXT NOT NULL DEFAULT '',
  operator TEXT NOT NULL DEFAULT '',
  notes TEXT NOT NULL DEFAULT '',
  profile_id TEXT NOT NULL,
  profile_name TEXT NOT NULL,
  margin_db {REAL} NOT NULL,
  loss_min_db {REAL},
  loss_max_db {REAL},
  created_at TEXT NOT NULL
);
CREATE TABLE job_limits (
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  wavelength_nm INTEGER NOT NULL,
  low_dbm {REAL},
  high_dbm {REAL},
  PRIMARY KEY (job_id, wavelength_nm)
);
CREATE TABLE job_references (
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  wavelength_nm INTEGER NOT NULL,
  reference_dbm {REAL} NOT NULL,
  PRIMARY KEY (job_id, wavelength_nm)
);
CREATE TABLE points (
  id {PK},
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  position INTEGER NOT NULL,
  label TEXT NOT NULL,
  removed_at TEXT
);
CREATE UNIQUE INDEX points_label ON points (job_id, label) WHERE removed_at IS NULL;
CREATE TABLE results (
  id {PK},
  uuid TEXT NOT NULL UNIQUE,
  point_id INTEGER NOT NULL REFERENCES points(id),
  wavelength_nm INTEGER NOT NULL,
  power_dbm {REAL} NOT NULL,
  power_mw {REAL} NOT NULL,
  loss_db {REAL},
  verdict TEXT NOT NULL,
  samples INTEGER NOT NULL,
  span_db {REAL} NOT NULL,
  unstable INTEGER NOT NULL,
  operator TEXT NOT NULL,
  measured_at TEXT NOT NULL,
  superseded INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX results_latest ON results (point_id, wavelength_nm, superseded);
)sql",
      // 2: the readings averaged per capture become a job setting; the
      // user's own threshold profiles.
      R"sql(
ALTER TABLE jobs ADD COLUMN samples INTEGER NOT NULL DEFAULT 3;
CREATE TABLE user_profiles (
  id TEXT PRIMARY KEY,
  name TEXT NOT NULL,
  margin_db {REAL} NOT NULL DEFAULT 2,
  loss_min_db {REAL},
  loss_max_db {REAL}
);
CREATE TABLE user_profile_limits (
  profile_id TEXT NOT NULL REFERENCES user_profiles(id),
  wavelength_nm INTEGER NOT NULL,
  low_dbm {REAL},
  high_dbm {REAL},
  PRIMARY KEY (profile_id, wavelength_nm)
);
)sql",
      // 3: what a team server acknowledged. A point is known across stores by
      // its job and position (positions are never reused); a result's
      // acked_superseded is the superseded flag the server confirmed, NULL
      // until it has the result. store_info holds the server's identity (on
      // a server) or the server the acknowledgements came from (locally).
      // results_current serves the job list's count of latest verdicts.
      R"sql(
CREATE UNIQUE INDEX points_position ON points (job_id, position);
ALTER TABLE results ADD COLUMN acked_superseded INTEGER;
CREATE INDEX results_current ON results (point_id, verdict) WHERE superseded = 0;
CREATE TABLE store_info (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
)sql",
      // 4: each job's counts as the job list shows them, kept up to date by
      // every change of the job's points or results in the same transaction,
      // so that listing a team's jobs reads one row per job instead of every
      // result. Filled here for the jobs already there.
      R"sql(
CREATE TABLE job_counts (
  job_id INTEGER PRIMARY KEY REFERENCES jobs(id),
  points INTEGER NOT NULL,
  pass INTEGER NOT NULL,
  marginal INTEGER NOT NULL,
  fail INTEGER NOT NULL,
  untested INTEGER NOT NULL
);
INSERT INTO job_counts (job_id, points, pass, marginal, fail, untested) {COUNTS};
)sql",
      // 5: a point has its own UUID, as jobs and results have, and is known
      // across stores by it: two copies of one store that each add a point
      // at the same position add two points, not one relabelled. A point made
      // before has one derived from its job's UUID and its position (a
      // version 8 UUID: the job's with its version digit 8 and its last 12
      // digits the position in hex), so a store and a server that each meet
      // this step on their own still find their points in each other.
      // Positions no longer identify a point and stop being unique.
      // acked_label is the label a team server confirmed for the point (NULL
      // until it has the point): a label the server holds otherwise is
      // changed there only when it is the one this store sent.
      // A result keeps when its first and its last reading arrived (NULL for
      // the results stored before: unknown), so that anyone can check later
      // that no reading fed two results.
      R"sql(
ALTER TABLE results ADD COLUMN first_reading_at TEXT;
ALTER TABLE results ADD COLUMN last_reading_at TEXT;
ALTER TABLE points ADD COLUMN uuid TEXT;
ALTER TABLE points ADD COLUMN acked_label TEXT;
UPDATE points SET uuid = (SELECT substr(j.uuid, 1, 14) || '8' || substr(j.uuid, 16, 9) || {HEX12}(points.position)
                          FROM jobs j WHERE j.id = points.job_id);
{UUID_NOT_NULL}
CREATE UNIQUE INDEX points_uuid ON points (uuid);
DROP INDEX points_position;
CREATE INDEX points_order ON points (job_id, position);
)sql",
  };
  return kSteps;
}

// A job's counts: its points (not removed) and, by each point's worst verdict
// among its latest results, those passed, marginal, failed and untested (a
// point measured where the profile sets no limit counts in none of the four).
// {JOB} narrows it to one job, or is left empty for every job.
#define KM360R_WORST_RANK \
  "CASE WHEN r.id IS NULL THEN NULL WHEN r.verdict = 'FAIL' THEN 3 WHEN r.verdict = 'MARGINAL' THEN 2 " \
  "WHEN r.verdict = 'PASS' THEN 1 ELSE 0 END"
constexpr std::string_view kCounts = R"sql(
SELECT j.id, count(w.id),
  sum(CASE WHEN w.worst = 1 THEN 1 ELSE 0 END),
  sum(CASE WHEN w.worst = 2 THEN 1 ELSE 0 END),
  sum(CASE WHEN w.worst = 3 THEN 1 ELSE 0 END),
  sum(CASE WHEN w.id IS NOT NULL AND w.worst IS NULL THEN 1 ELSE 0 END)
FROM jobs j LEFT JOIN (
  SELECT p.id, p.job_id, max()sql" KM360R_WORST_RANK R"sql() AS worst
  FROM points p LEFT JOIN results r ON r.point_id = p.id AND r.superseded = 0
  WHERE p.removed_at IS NULL{POINT_JOB} GROUP BY p.id, p.job_id) w ON w.job_id = j.id
WHERE {JOB_ID} GROUP BY j.id)sql";

void ReplaceAll(std::string& out, std::string_view token, std::string_view text) {
  for (size_t at = out.find(token); at != std::string::npos; at = out.find(token, at + text.size())) {
    out.replace(at, token.size(), text);
  }
}

std::string Render(std::string_view step, Dialect dialect) {
  const bool pg = dialect == Dialect::PostgreSql;
  std::string out(step);
  std::string counts(kCounts);
  ReplaceAll(counts, "{POINT_JOB}", "");
  ReplaceAll(counts, "{JOB_ID}", "true");
  const std::pair<std::string_view, std::string_view> tokens[] = {
      {"{PK}", pg ? "INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY" : "INTEGER PRIMARY KEY"},
      {"{REAL}", pg ? "DOUBLE PRECISION" : "REAL"},
      {"{COUNTS}", counts},
      // a position as 12 hexadecimal digits
      {"{HEX12}(points.position)", pg ? "lpad(to_hex(points.position), 12, '0')" : "printf('%012x', points.position)"},
      {"{UUID_NOT_NULL}", pg ? "ALTER TABLE points ALTER COLUMN uuid SET NOT NULL;" : ""},
  };
  for (const auto& [token, text] : tokens) ReplaceAll(out, token, text);
  return out;
}

}  // namespace

std::vector<std::string> Migrations(Dialect dialect) {
  std::vector<std::string> steps;
  for (std::string_view step : Steps()) steps.push_back(Render(step, dialect));
  return steps;
}

std::string RefreshJobCounts(Dialect dialect) {
  const std::string_view job = dialect == Dialect::PostgreSql ? "$1" : "?1";
  std::string counts(kCounts);
  ReplaceAll(counts, "{POINT_JOB}", " AND p.job_id = {ARG}");
  ReplaceAll(counts, "{JOB_ID}", "j.id = {ARG}");
  ReplaceAll(counts, "{ARG}", job);
  return "INSERT INTO job_counts (job_id, points, pass, marginal, fail, untested)" + counts +
         "\nON CONFLICT (job_id) DO UPDATE SET points = excluded.points, pass = excluded.pass, "
         "marginal = excluded.marginal, fail = excluded.fail, untested = excluded.untested";
}

const char* PointWorst() {
  return "SELECT max(" KM360R_WORST_RANK ") FROM results r WHERE r.point_id = ?1 AND r.superseded = 0";
}

std::string WorstRankOf(std::string_view verdict) {
  std::string sql = KM360R_WORST_RANK;
  ReplaceAll(sql, "r.id IS NULL", "false");  // a verdict is there
  ReplaceAll(sql, "r.verdict", verdict);
  return sql;
}
#undef KM360R_WORST_RANK

const char* MoveJobCount() {
  return "UPDATE job_counts SET pass = pass + (?2 IS 1) - (?1 IS 1), marginal = marginal + (?2 IS 2) - (?1 IS 2), "
         "fail = fail + (?2 IS 3) - (?1 IS 3), untested = untested + (?2 IS NULL) - (?1 IS NULL) WHERE job_id = ?3";
}

const char* ListJobs() {
  return "SELECT j.name, j.site, j.operator, j.created_at, coalesce(c.points, 0), coalesce(c.pass, 0), "
         "coalesce(c.marginal, 0), coalesce(c.fail, 0), coalesce(c.untested, 0) "
         "FROM jobs j LEFT JOIN job_counts c ON c.job_id = j.id ORDER BY j.id";
}

int CurrentVersion() { return static_cast<int>(Steps().size()); }

const std::set<std::string>& Objects(int64_t version) {
  static const std::vector<std::set<std::string>> kByVersion = [] {
    std::vector<std::set<std::string>> byVersion(1);
    std::set<std::string> objects;
    for (const std::string& step : Migrations(Dialect::Sqlite)) {
      std::istringstream in(step);
      std::vector<std::string> words{std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
      for (size_t i = 0; i + 2 < words.size(); ++i) {
        size_t at = i + 1;
        if (words[i] == "CREATE" && words[at] == "UNIQUE") ++at;
        if ((words[i] != "CREATE" && words[i] != "DROP") || (words[at] != "TABLE" && words[at] != "INDEX") ||
            at + 1 >= words.size()) {
          continue;
        }
        std::string name = words[at + 1];
        while (!name.empty() && (name.back() == ';' || name.back() == '(')) name.pop_back();
        const std::string object = (words[at] == "TABLE" ? "table " : "index ") + name;
        if (words[i] == "CREATE") {
          objects.insert(object);
        } else {
          objects.erase(object);
        }
      }
      byVersion.push_back(objects);
    }
    return byVersion;
  }();
  return kByVersion.at(static_cast<size_t>(version));
}

}  // namespace jobs::schema
