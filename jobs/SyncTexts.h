#pragma once
// The texts of a sync with the team server and of its failures (UTF-8), in
// Chinese and English: the window's File menu and messages, and km360r-cli's.
#include <cstdint>
#include <optional>
#include <string>

#include "common/Language.h"
#include "jobs/ServerFault.h"

namespace jobs {

struct SyncTexts {
  std::string menuEntry;    // File menu: "Sync results…"
  std::string title;        // the progress and message boxes' title
  std::string syncing;      // while the sync runs
  std::string noServer;     // no server in the settings or the environment
  std::string localJobs, serverJobs;  // the job panel's switch
  std::string serverReadOnly;         // why a server job cannot be changed
  bool chinese = false;

  // "sent N results, M already there"
  std::string Done(int64_t sent, int64_t alreadyThere) const;
  // A sync that failed for `reason` (the store's or the server's own words,
  // in brackets in a Chinese message).
  std::string Failed(const std::string& reason) const;
  // The whole message of a server that cannot be used.
  std::string ServerProblem(ServerFault why, const std::string& detail) const;

  // Chinese for languages 0 and 2, English otherwise.
  static SyncTexts For(std::optional<lang::Index> index);
};

}  // namespace jobs
