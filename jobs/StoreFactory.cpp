#include "jobs/StoreFactory.h"

#include <vector>

#include "jobs/StoreBackend.h"

namespace jobs {

namespace {

const StoreBackend& BackendFor(StoreKind kind) {
  static const std::vector<const StoreBackend*> kBackends = {&SqliteBackend(), &TeamServerBackend()};
  for (const StoreBackend* b : kBackends) {
    if (b->kind == kind) return *b;
  }
  Refuse("no results backend serves this kind of store");
}

// The backend of `at` when it does what is asked (`opener` is set), else the refusal.
template <typename Opener>
const Opener& Using(const StoreAddress& at, Opener StoreBackend::*opener, const char* refusal) {
  const StoreBackend& b = BackendFor(at.kind);
  if (!b.missing.empty()) Refuse(b.missing);
  if (!(b.*opener)) Refuse(refusal);
  return b.*opener;
}

constexpr const char* kServerIsNotWritten =
    "jobs are made, edited and captured in the local store; the team server receives them by job sync";

}  // namespace

std::unique_ptr<IResultsReader> OpenReader(const StoreAddress& at) {
  return Using(at, &StoreBackend::openReader, "this store cannot be read")(at.where);
}

std::unique_ptr<IResultsStore> OpenStore(const StoreAddress& at, StoreAccess access) {
  return Using(at, &StoreBackend::openStore, kServerIsNotWritten)(at.where, access);
}

std::unique_ptr<ISyncSource> OpenSyncSource(const StoreAddress& at) {
  return Using(at, &StoreBackend::openSyncSource, "results are synced from the local store")(at.where);
}

std::unique_ptr<ISyncTarget> OpenSyncTarget(const StoreAddress& at) {
  return Using(at, &StoreBackend::openSyncTarget, "results are synced to a team server")(at.where);
}

std::string BackendMissing(StoreKind kind) { return BackendFor(kind).missing; }

}  // namespace jobs
