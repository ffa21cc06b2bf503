#pragma once
// A thin hold on a PostgreSQL server through libpq: one connection made by
// libpq's own rules (a postgresql:// URL or key=value words, passwords from
// ~/.pgpass or PGPASSFILE, TLS as sslmode asks), statements with bound
// parameters only, and every failure turned into a StoreError.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/ResultsStore.h"

struct pg_conn;
struct pg_result;

namespace jobs::pg {

// The server cannot be used: it cannot be reached, refuses the login, has no
// such database, dropped the connection, or holds tables newer than this
// program's. what() is the English message; the front ends build the message
// in the window's language from why and detail (SyncTexts).
class ServerError : public StoreError {
 public:
  enum class Why {
    Unusable,  // detail: libpq's or the server's own reason
    Newer,     // detail: the server's table version
    Foreign,   // tables no program of ours made (a version below zero); detail: that version
    Empty,     // read before any sync made the tables; no detail
    Older,     // read while the tables are older than this program's; detail: their version
  };
  ServerError(Why why, std::string detail);
  Why GetWhy() const { return m_why; }
  const std::string& Detail() const { return m_detail; }

 private:
  Why m_why;
  std::string m_detail;
};

// A bound parameter in its text form; nullopt is NULL.
using Param = std::optional<std::string>;
Param Text(const std::string& s);
Param Number(int64_t v);
Param Number(double v);
Param Number(std::optional<double> v);

class Rows {
 public:
  explicit Rows(pg_result* result);
  ~Rows();
  Rows(Rows&& other) noexcept;
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;

  int Count() const;
  bool IsNull(int row, int column) const;
  std::string Text(int row, int column) const;
  int64_t Int(int row, int column) const;
  double Real(int row, int column) const;
  std::optional<double> OptionalReal(int row, int column) const;

 private:
  pg_result* m_result;
};

class Connection {
 public:
  // Throws StoreError (Unusable) when the server cannot be reached, refuses
  // the login or has no such database.
  explicit Connection(const std::string& target);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Statements without parameters, several at once allowed.
  void Execute(const std::string& sql);
  Rows Query(const std::string& sql, const std::vector<Param>& params = {});
  // False once the connection to the server is lost.
  bool Alive() const;
  // As Query; a unique violation comes back as nullopt instead of a throw.
  std::optional<Rows> QueryUnlessDuplicate(const std::string& sql, const std::vector<Param>& params);

 private:
  pg_conn* m_conn = nullptr;
};

// BEGIN ... COMMIT, rolled back when left by an exception.
class Transaction {
 public:
  explicit Transaction(Connection& db);
  ~Transaction();
  void Commit();

 private:
  Connection& m_db;
  bool m_bDone = false;
};

}  // namespace jobs::pg
