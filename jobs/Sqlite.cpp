#include "jobs/Sqlite.h"

#include <sqlite3.h>

#include <cstdio>

namespace jobs::sql {

namespace {

// Long enough for the other program's capture, edit or sync to finish.
constexpr int kBusyTimeoutMs = 10000;

// A file name as an SQLite URI.
std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      uri += hex;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + "?immutable=1";
}
}  // namespace

Connection::Connection(const std::string& path, Mode mode) : m_path(path) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::Immutable: flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI; break;
    case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
  }
  const int rc = sqlite3_open_v2(mode == Mode::Immutable ? ImmutableUri(path).c_str() : path.c_str(), &m_db, flags,
                                 nullptr);
  if (rc != SQLITE_OK) {
    // SQLite gives a handle even when the open fails; the destructor of a
    // connection never made would not close it.
    try {
      Fail(rc);
    } catch (...) {
      sqlite3_close_v2(m_db);
      m_db = nullptr;
      throw;
    }
  }
  if (mode == Mode::Immutable) return;
  sqlite3_extended_result_codes(m_db, 0);
  // Every connection waits its turn while another program (a capture, a
  // sync of the same store) holds the lock, instead of failing at once.
  sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

Connection::~Connection() { sqlite3_close_v2(m_db); }

void Connection::Fail(int code) const {
  const int primary = code & 0xFF;
  if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
    // Whatever this connection would do next could build on the damage.
    m_bDamaged = true;
  }
  if (m_bDamaged) throw StoreError(StoreError::Kind::Unusable, m_path + ": the results store is damaged");
  if (primary == SQLITE_CONSTRAINT) {
    throw StoreError(StoreError::Kind::Refused, m_path + ": " + (m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code)));
  }
  const char* why = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
  throw StoreError(StoreError::Kind::Unusable, m_path + ": " + why);
}

void Connection::RefuseWhenDamaged() const {
  if (m_bDamaged) Fail(SQLITE_CORRUPT);
}

void Connection::Execute(std::string_view sql) {
  RefuseWhenDamaged();
  const int rc = sqlite3_exec(m_db, std::string(sql).c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(rc);
}

int64_t Connection::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }
int Connection::Changes() const { return sqlite3_changes(m_db); }

Statement::Statement(Connection& db, std::string_view text) : m_db(db) {
  db.RefuseWhenDamaged();
  const int rc = sqlite3_prepare_v2(db.Handle(), text.data(), static_cast<int>(text.size()), &m_stmt, nullptr);
  if (rc != SQLITE_OK) db.Fail(rc);
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement& Statement::Bind(int index, std::string_view text) {
  const int rc = sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) m_db.Fail(rc);
  return *this;
}
Statement& Statement::Bind(int index, int64_t value) {
  const int rc = sqlite3_bind_int64(m_stmt, index, value);
  if (rc != SQLITE_OK) m_db.Fail(rc);
  return *this;
}
Statement& Statement::Bind(int index, double value) {
  const int rc = sqlite3_bind_double(m_stmt, index, value);
  if (rc != SQLITE_OK) m_db.Fail(rc);
  return *this;
}
Statement& Statement::Bind(int index, std::optional<double> value) {
  if (value) return Bind(index, *value);
  const int rc = sqlite3_bind_null(m_stmt, index);
  if (rc != SQLITE_OK) m_db.Fail(rc);
  return *this;
}

Statement& Statement::BindTextOrNull(int index, std::string_view text) {
  if (!text.empty()) return Bind(index, text);
  const int rc = sqlite3_bind_null(m_stmt, index);
  if (rc != SQLITE_OK) m_db.Fail(rc);
  return *this;
}

bool Statement::Step() {
  m_db.RefuseWhenDamaged();
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  m_db.Fail(rc);
}
void Statement::Run() {
  while (Step()) {
  }
}
void Statement::Reset() {
  sqlite3_reset(m_stmt);
  sqlite3_clear_bindings(m_stmt);
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
int64_t Statement::Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
double Statement::Real(int column) const { return sqlite3_column_double(m_stmt, column); }
std::optional<double> Statement::OptionalReal(int column) const {
  if (IsNull(column)) return std::nullopt;
  return Real(column);
}
std::string Statement::Text(int column) const {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
  return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column))) : std::string();
}

WriteTransaction::WriteTransaction(Connection& db) : m_db(db) { m_db.Execute("BEGIN IMMEDIATE"); }
WriteTransaction::~WriteTransaction() {
  if (!m_bDone) sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}
void WriteTransaction::Commit() {
  m_db.Execute("COMMIT");
  m_bDone = true;
}

}  // namespace jobs::sql
