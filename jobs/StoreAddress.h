#pragma once
// Where a results store is, and what a command does there: what the store
// factory (jobs/StoreFactory.h) and its backends (jobs/StoreBackend.h) are told.
#include <string>

namespace jobs {

enum class StoreKind { LocalFile, TeamServer };

struct StoreAddress {
  StoreKind kind = StoreKind::LocalFile;
  std::string where;  // the file's path, or the server's postgresql:// URL or key=value words
};

// ReadOnly: for commands that only read. The local store is then opened
// read-only where its folder takes no files (see SqliteStore::Access).
enum class StoreAccess { ReadWrite, ReadOnly };

}  // namespace jobs
