#pragma once
// A thin hold on a PostgreSQL server through libpq: one connection made by
// libpq's own rules (a postgresql:// URL or key=value words, passwords from
// ~/.pgpass or PGPASSFILE, TLS as sslmode asks), statements with bound
// parameters only, and every failure turned into a ServerError.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/ServerError.h"

struct pg_conn;
struct pg_result;

namespace jobs::pg {

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
  // Runs `copy` (a COPY ... FROM STDIN) with `data` as its rows, in COPY's
  // text format (CopyRow writes them).
  void CopyIn(const std::string& copy, std::string_view data);

 private:
  pg_conn* m_conn = nullptr;
};

// Appends one row of `values` in COPY's text format: TAB between the values,
// a newline after them, NULL as \N, and backslash, TAB, newline and carriage
// return escaped inside a value.
void CopyRow(std::string& out, const std::vector<Param>& values);

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
