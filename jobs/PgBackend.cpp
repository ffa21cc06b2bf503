// A team's PostgreSQL server, as the factory opens it: read, or synced into.
#include "jobs/PgStore.h"
#include "jobs/StoreBackend.h"

namespace jobs {

const StoreBackend& TeamServerBackend() {
  static const StoreBackend kBackend{
      StoreKind::TeamServer,
      {},
      [](const std::string& target) { return std::make_unique<PgStore>(target, PgStore::Access::Read); },
      {},
      {},
      [](const std::string& target) { return std::make_unique<PgStore>(target, PgStore::Access::Sync); },
  };
  return kBackend;
}

}  // namespace jobs
