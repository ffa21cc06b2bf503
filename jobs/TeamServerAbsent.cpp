// The team server of a build without PostgreSQL's client library: registered,
// so that asking for it says why there is none.
#include "jobs/StoreBackend.h"

namespace jobs {

const StoreBackend& TeamServerBackend() {
  static const StoreBackend kBackend{
      StoreKind::TeamServer,
      "this build of km360r-cli has no team server (it is built without PostgreSQL's client "
      "library): job sync and --server need a build with it",
      {}, {}, {}, {},
  };
  return kBackend;
}

}  // namespace jobs
