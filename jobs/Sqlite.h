#pragma once
// A thin hold on SQLite: one connection, prepared statements with bound
// parameters only (no value is ever pasted into SQL text), and every failure
// turned into a StoreError naming the store's file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jobs/ResultsStore.h"

struct sqlite3;
struct sqlite3_stmt;

namespace jobs::sql {

class Connection;

class Statement {
 public:
  Statement(Connection& db, std::string_view text);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters count from 1, as SQLite's "?" do.
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<int64_t>(value)); }
  Statement& Bind(int index, double value);
  Statement& Bind(int index, std::optional<double> value);
  // NULL for an empty text: a value not known.
  Statement& BindTextOrNull(int index, std::string_view text);

  // True while a row is there; false when done.
  bool Step();
  // Steps to the end; for statements without rows.
  void Run();
  void Reset();

  bool IsNull(int column) const;
  int64_t Int(int column) const;
  double Real(int column) const;
  std::optional<double> OptionalReal(int column) const;
  std::string Text(int column) const;

 private:
  Connection& m_db;
  sqlite3_stmt* m_stmt = nullptr;
};

class Connection {
 public:
  // Opens an existing file (read-only or read-write) or creates one.
  // Immutable reads the file alone, as a file nobody writes: no lock, and no
  // "-wal" or "-shm" file is made beside it.
  enum class Mode { Immutable, ReadOnly, ReadWrite, Create };
  Connection(const std::string& path, Mode mode);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void Execute(std::string_view sql);  // statements without parameters or rows
  int64_t LastInsertId() const;
  int Changes() const;  // rows changed by the last statement
  sqlite3* Handle() const { return m_db; }
  const std::string& Path() const { return m_path; }

  // Throws the StoreError for SQLite's result `code`. Once SQLite has
  // answered that the file is damaged or no database, every later use of the
  // connection is refused the same way: nothing is read or written on top
  // of damage.
  [[noreturn]] void Fail(int code) const;
  void RefuseWhenDamaged() const;

 private:
  sqlite3* m_db = nullptr;
  std::string m_path;
  mutable bool m_bDamaged = false;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when left by an exception. Taking
// the write lock at the start means a second writer waits (under the busy
// timeout) instead of failing halfway.
class WriteTransaction {
 public:
  explicit WriteTransaction(Connection& db);
  ~WriteTransaction();
  void Commit();

 private:
  Connection& m_db;
  bool m_bDone = false;
};

}  // namespace jobs::sql
