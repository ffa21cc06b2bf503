#pragma once
// Where jobs and their results are kept. The SQLite file of one PC is read
// and written; a team's server is only read (results reach it by sync), so
// it implements the reading half alone. Every job and result has a UUID, so
// results from several stores can be brought together. jobs/StoreFactory.h
// opens them.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "jobs/Job.h"

namespace jobs {

class StoreError : public std::runtime_error {
 public:
  enum class Kind {
    Unusable,  // not a store, damaged, newer than the program, or cannot be written
    Refused,   // a request that does not fit the store's contents (a name taken, a label unknown)
  };
  StoreError(Kind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
  Kind GetKind() const { return m_kind; }

 private:
  Kind m_kind;
};

// What every store throws for a request that does not fit its contents.
[[noreturn]] inline void Refuse(const std::string& message) { throw StoreError(StoreError::Kind::Refused, message); }

// What every store answers: the server's read-only view as well as the local file.
class IResultsReader {
 public:
  virtual ~IResultsReader() = default;

  virtual std::vector<Profile> UserProfiles() = 0;
  virtual std::optional<Job> FindJob(const std::string& name) = 0;
  virtual std::vector<JobSummary> ListJobs() = 0;
  // The job's points in order.
  virtual std::vector<std::string> Points(const std::string& job) = 0;
  // The latest result of every point and wavelength, points in job order,
  // wavelengths ascending.
  virtual std::vector<Result> LatestResults(const std::string& job) = 0;
};

// What a store that jobs are made and captured into answers besides.
class IResultsWriter {
 public:
  virtual ~IResultsWriter() = default;

  // Makes a job with its points, in order; Refused when the name is taken.
  virtual void CreateJob(const Job& job, const std::vector<std::string>& points) = 0;
  // Refused when `to` is taken or not a good name; the job keeps its UUID, so
  // a sync carries the new name to a team server.
  virtual void RenameJob(const std::string& from, const std::string& to) = 0;
  virtual void AddPoints(const std::string& job, const std::vector<std::string>& labels) = 0;
  virtual void RenamePoint(const std::string& job, const std::string& from, const std::string& to) = 0;
  // The point leaves the list; its results stay in the store.
  virtual void RemovePoint(const std::string& job, const std::string& label) = 0;

  // Sets (or, with nullopt, clears) the reference of one wavelength.
  virtual void SetReference(const std::string& job, int wavelengthNm, std::optional<double> dbm) = 0;
  // Sets the number of readings a capture of the job averages.
  virtual void SetSamples(const std::string& job, int samples) = 0;

  // Stores one result as one committed step; the point's earlier result at
  // that wavelength is kept, marked superseded. Fills in the result's UUID.
  virtual void AddResult(const std::string& job, Result& result) = 0;
};

// A store that is read and written: the one a technician works in.
class IResultsStore : public IResultsReader, public IResultsWriter {
 public:
  // The full check of everything the store holds: empty when it is sound,
  // else the first problem found. Reads all of it, which opening does not.
  virtual std::string IntegrityProblem() = 0;
};

}  // namespace jobs
