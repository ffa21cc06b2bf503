#pragma once
// The test job the program works on, without a window: the results store
// (the local one km360r-cli uses, or a team server's, read only), opened when
// first needed; the job open in it, its points and their latest results as
// last read back from the store; and the live readings a capture takes from.
// The meter service owns it; the job panel shows it and changes it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/Job.h"
#include "jobs/JobSession.h"
#include "jobs/ResultsStore.h"

class JobDesk {
 public:
  // `storePath` empty: the store km360r-cli uses by default (KM360R_STORE,
  // else the user's data folder).
  explicit JobDesk(std::string storePath = {}) : m_strStorePath(std::move(storePath)) {}

  // The local store's file.
  std::string StorePath() const;
  // The store, opened when first needed; nullptr while none is open.
  // Open() throws jobs::StoreError when the store cannot be opened.
  jobs::IResultsReader* Store() const { return m_store.get(); }
  jobs::IResultsReader& Open();
  // The open store's writing half: nullptr for a team server's, which is
  // only read here.
  jobs::IResultsWriter* Writer() const { return m_writer; }
  // The jobs of the team server at `server` from now on, or the local
  // store's when empty; the open job closes and the store opens anew.
  void UseServer(std::string server);
  const std::string& Server() const { return m_strServer; }
  bool OnServer() const { return !m_strServer.empty(); }

  std::optional<jobs::Job> job;                // the open job
  std::vector<std::string> pointLabels;        // its points, in the store's order
  std::vector<jobs::Result> latestResults;     // their latest results, as the list shows them
  jobs::LiveReadings live;                     // the readings of the real-time run

  // The open job closes.
  void Close() {
    job.reset();
    pointLabels.clear();
  }

 private:
  std::string m_strStorePath;
  std::string m_strServer;
  std::unique_ptr<jobs::IResultsReader> m_store;
  jobs::IResultsWriter* m_writer = nullptr;  // m_store's writing half, when it has one
};
