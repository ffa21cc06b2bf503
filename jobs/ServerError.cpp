#include "jobs/ServerError.h"

#include <utility>

#include "jobs/SyncTexts.h"

namespace jobs {

ServerError::ServerError(Why why, std::string detail)
    : StoreError(Kind::Unusable, SyncTexts::For(lang::Index::One).ServerProblem(why, detail)),
      m_why(why),
      m_detail(std::move(detail)) {}

}  // namespace jobs
