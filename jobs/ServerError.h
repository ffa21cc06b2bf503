#pragma once
// A team server that cannot be used: it cannot be reached, refuses the login,
// has no such database, dropped the connection, or holds tables newer than
// this program's. what() is the English message; the front ends build the
// message in the window's language from why and detail (SyncTexts).
#include <string>

#include "jobs/ResultsStore.h"
#include "jobs/ServerFault.h"

namespace jobs {

class ServerError : public StoreError {
 public:
  using Why = ServerFault;
  ServerError(Why why, std::string detail);
  Why GetWhy() const { return m_why; }
  const std::string& Detail() const { return m_detail; }

 private:
  Why m_why;
  std::string m_detail;
};

}  // namespace jobs
