#include "jobs/JobDesk.h"

#include <utility>

#include "jobs/StoreFactory.h"
#include "jobs/StorePath.h"

std::string JobDesk::StorePath() const {
  return m_strStorePath.empty() ? jobs::StorePath(std::nullopt) : m_strStorePath;
}

jobs::IResultsReader& JobDesk::Open() {
  if (!m_store) {
    if (OnServer()) {
      m_store = jobs::OpenReader({jobs::StoreKind::TeamServer, m_strServer});
    } else {
      std::unique_ptr<jobs::IResultsStore> local = jobs::OpenStore({jobs::StoreKind::LocalFile, StorePath()});
      m_writer = local.get();
      m_store = std::move(local);
    }
  }
  return *m_store;
}

void JobDesk::UseServer(std::string server) {
  Close();
  m_writer = nullptr;
  m_store.reset();
  m_strServer = std::move(server);
}
