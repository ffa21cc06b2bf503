#include "jobs/Pg.h"


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "jobs/LibPq.h"

namespace jobs::pg {

namespace {

// SQLSTATE of a unique violation.
constexpr const char* kUniqueViolation = "23505";

std::string Trimmed(const char* message) {
  std::string s = message ? message : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

[[noreturn]] void Unusable(const std::string& why) { throw ServerError(ServerError::Why::Unusable, why); }

}  // namespace

Param Text(const std::string& s) { return s; }
Param Number(int64_t v) { return std::to_string(v); }
Param Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return std::string(text);
}
Param Number(std::optional<double> v) { return v ? Number(*v) : Param(); }

Rows::Rows(pg_result* result) : m_result(result) {}
Rows::~Rows() {
  if (m_result) Pq().PQclear(m_result);
}
Rows::Rows(Rows&& other) noexcept : m_result(other.m_result) { other.m_result = nullptr; }
int Rows::Count() const { return Pq().PQntuples(m_result); }
bool Rows::IsNull(int row, int column) const { return Pq().PQgetisnull(m_result, row, column) != 0; }
std::string Rows::Text(int row, int column) const {
  return std::string(Pq().PQgetvalue(m_result, row, column), static_cast<size_t>(Pq().PQgetlength(m_result, row, column)));
}
int64_t Rows::Int(int row, int column) const { return std::strtoll(Pq().PQgetvalue(m_result, row, column), nullptr, 10); }
double Rows::Real(int row, int column) const { return std::strtod(Pq().PQgetvalue(m_result, row, column), nullptr); }
std::optional<double> Rows::OptionalReal(int row, int column) const {
  if (IsNull(row, column)) return std::nullopt;
  return Real(row, column);
}

Connection::Connection(const std::string& target) {
  // The program's name shows in the server's activity list.
  const char* keys[] = {"dbname", "application_name", "client_encoding", nullptr};
  const char* values[] = {target.c_str(), "km360r", "UTF8", nullptr};
  m_conn = Pq().PQconnectdbParams(keys, values, 1);
  if (!m_conn) Unusable("out of memory");
  if (Pq().PQstatus(m_conn) != CONNECTION_OK) {
    const std::string why = Trimmed(Pq().PQerrorMessage(m_conn));
    Pq().PQfinish(m_conn);
    m_conn = nullptr;
    Unusable(why);
  }
  // The server's notices ("already exists, skipping") are not the user's business.
  Pq().PQsetNoticeProcessor(m_conn, [](void*, const char*) {}, nullptr);
}

bool Connection::Alive() const { return Pq().PQstatus(m_conn) == CONNECTION_OK; }

Connection::~Connection() {
  if (m_conn) Pq().PQfinish(m_conn);
}

void Connection::Execute(const std::string& sql) {
  pg_result* result = Pq().PQexec(m_conn, sql.c_str());
  const Rows rows(result);
  const ExecStatusType status = Pq().PQresultStatus(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Unusable(Trimmed(Pq().PQerrorMessage(m_conn)));
}

std::optional<Rows> Connection::QueryUnlessDuplicate(const std::string& sql, const std::vector<Param>& params) {
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const Param& p : params) values.push_back(p ? p->c_str() : nullptr);
  pg_result* result = Pq().PQexecParams(m_conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                   nullptr, nullptr, 0);
  Rows rows(result);
  const ExecStatusType status = Pq().PQresultStatus(result);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return rows;
  const char* state = Pq().PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (state && std::strcmp(state, kUniqueViolation) == 0) return std::nullopt;
  Unusable(Trimmed(Pq().PQerrorMessage(m_conn)));
}

void Connection::CopyIn(const std::string& copy, std::string_view data) {
  {
    pg_result* started = Pq().PQexec(m_conn, copy.c_str());
    const Rows held(started);
    if (Pq().PQresultStatus(started) != PGRES_COPY_IN) Unusable(Trimmed(Pq().PQerrorMessage(m_conn)));
  }
  // libpq takes at most INT_MAX bytes a call.
  constexpr size_t kChunk = 1 << 20;
  bool sent = true;
  for (size_t at = 0; at < data.size() && sent; at += kChunk) {
    const size_t n = std::min(kChunk, data.size() - at);
    sent = Pq().PQputCopyData(m_conn, data.data() + at, static_cast<int>(n)) == 1;
  }
  // Ended either way, so that the connection leaves COPY; a failure is told below.
  const bool ended = Pq().PQputCopyEnd(m_conn, sent ? nullptr : "the rows could not be sent") == 1;
  std::string failure = sent && ended ? std::string() : Trimmed(Pq().PQerrorMessage(m_conn));
  while (pg_result* result = Pq().PQgetResult(m_conn)) {
    const Rows held(result);
    if (Pq().PQresultStatus(result) != PGRES_COMMAND_OK && failure.empty()) failure = Trimmed(Pq().PQerrorMessage(m_conn));
  }
  if (!failure.empty()) Unusable(failure);
}

void CopyRow(std::string& out, const std::vector<Param>& values) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += '\t';
    if (!values[i]) {
      out += "\\N";
      continue;
    }
    for (const char c : *values[i]) {
      switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
      }
    }
  }
  out += '\n';
}

Rows Connection::Query(const std::string& sql, const std::vector<Param>& params) {
  std::optional<Rows> rows = QueryUnlessDuplicate(sql, params);
  if (!rows) Unusable(Trimmed(Pq().PQerrorMessage(m_conn)));
  return std::move(*rows);
}

Transaction::Transaction(Connection& db) : m_db(db) { m_db.Execute("BEGIN"); }
Transaction::~Transaction() {
  if (m_bDone) return;
  try {
    m_db.Execute("ROLLBACK");
  } catch (const StoreError&) {
    // A lost connection has ended the transaction on the server already.
  }
}
void Transaction::Commit() {
  m_db.Execute("COMMIT");
  m_bDone = true;
}

}  // namespace jobs::pg
