// The local results store in one SQLite file, as the factory opens it.
#include "jobs/SqliteStore.h"
#include "jobs/StoreBackend.h"

namespace jobs {

const StoreBackend& SqliteBackend() {
  static const StoreBackend kBackend{
      StoreKind::LocalFile,
      {},
      [](const std::string& path) { return std::make_unique<SqliteStore>(path, SqliteStore::Access::ReadOnly); },
      [](const std::string& path, StoreAccess access) {
        return std::make_unique<SqliteStore>(
            path, access == StoreAccess::ReadOnly ? SqliteStore::Access::ReadOnly : SqliteStore::Access::ReadWrite);
      },
      [](const std::string& path) { return std::make_unique<SqliteStore>(path, SqliteStore::Access::Sync); },
      {},
  };
  return kBackend;
}

}  // namespace jobs
