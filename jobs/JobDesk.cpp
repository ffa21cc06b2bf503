#include "jobs/JobDesk.h"

#include <utility>

#include "jobs/SqliteStore.h"
#include "jobs/StorePath.h"
#include "jobs/TeamServer.h"

std::string JobDesk::StorePath() const {
  return m_strStorePath.empty() ? jobs::StorePath(std::nullopt) : m_strStorePath;
}

jobs::IResultsStore& JobDesk::Open() {
  if (!m_store) {
    if (OnServer()) {
      m_store = jobs::OpenTeamServer(m_strServer);
    } else {
      m_store = std::make_unique<jobs::SqliteStore>(StorePath());
    }
  }
  return *m_store;
}

void JobDesk::UseServer(std::string server) {
  Close();
  m_store.reset();
  m_strServer = std::move(server);
}
