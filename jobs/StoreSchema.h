#pragma once
// The results store's tables, as a list of migrations: step k brings a store
// of version k-1 to version k. A new store runs them all; an older one the
// steps it lacks, in one transaction. docs/results-store.md describes the
// tables of the latest version.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace jobs::schema {

// PRAGMA application_id of a results store ("K360"): tells our file from any
// other SQLite database.
inline constexpr int32_t kApplicationId = 0x4B333630;

// The local file and a team's server hold the same tables; the steps are
// written once and rendered in each engine's words.
enum class Dialect { Sqlite, PostgreSql };

// The migrations in order; their count is the version this program writes.
std::vector<std::string> Migrations(Dialect dialect);
int CurrentVersion();

// The tables and indexes a store of `version` has, as "table NAME" and
// "index NAME": read off the migrations' own CREATE and DROP statements,
// without running them, since every open of a store asks.
const std::set<std::string>& Objects(int64_t version);

// Brings one job's row of job_counts up to date; its one parameter is the
// job's row id. Run in the transaction that changed the job's points or results.
std::string RefreshJobCounts(Dialect dialect);

// A capture in the local store moves its point from one count to another
// without counting the whole job again. PointWorst: the worst verdict rank
// of point ?1's latest results (NULL untested). MoveJobCount: moves one
// point of job ?3 from rank ?1 to rank ?2. Both in SQLite's words.
const char* PointWorst();
const char* MoveJobCount();
// The rank PointWorst takes the worst of, of the verdict in the SQL
// expression `verdict`, in the words of either engine.
std::string WorstRankOf(std::string_view verdict);

// The job list, one row per job in the order they were made: name, site,
// operator, created_at, then the counts of job_counts.
const char* ListJobs();

}  // namespace jobs::schema
