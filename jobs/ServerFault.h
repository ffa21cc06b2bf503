#pragma once
// Why a team server cannot be used: what its error carries (jobs/ServerError.h)
// and what its message in the user's language is made from (jobs/SyncTexts.h).

namespace jobs {

enum class ServerFault {
  Unusable,  // detail: the client library's or the server's own reason
  Newer,     // detail: the server's table version
  Foreign,   // tables no program of ours made (a version below zero); detail: that version
  Empty,     // read before any sync made the tables; no detail
  Older,     // read while the tables are older than this program's; detail: their version
};

}  // namespace jobs
