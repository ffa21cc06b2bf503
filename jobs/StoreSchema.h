#pragma once
// The results store's tables, as a list of migrations: step k brings a store
// of version k-1 to version k. A new store runs them all; an older one the
// steps it lacks, in one transaction. docs/results-store.md describes the
// tables of the latest version.
#include <cstdint>
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

}  // namespace jobs::schema
