#pragma once
// PostgreSQL's client library, loaded the first time a team server is
// reached: it and the libraries it needs in turn (TLS, Kerberos, LDAP) cost
// every start of the program several milliseconds and megabytes, and only
// job sync and --server use them. Only jobs/Pg.cpp calls it.
#include <libpq-fe.h>

namespace jobs::pg {

struct LibPq {
  decltype(&::PQconnectdbParams) PQconnectdbParams;
  decltype(&::PQstatus) PQstatus;
  decltype(&::PQerrorMessage) PQerrorMessage;
  decltype(&::PQfinish) PQfinish;
  decltype(&::PQsetNoticeProcessor) PQsetNoticeProcessor;
  decltype(&::PQexec) PQexec;
  decltype(&::PQexecParams) PQexecParams;
  decltype(&::PQgetResult) PQgetResult;
  decltype(&::PQresultStatus) PQresultStatus;
  decltype(&::PQresultErrorField) PQresultErrorField;
  decltype(&::PQclear) PQclear;
  decltype(&::PQntuples) PQntuples;
  decltype(&::PQgetisnull) PQgetisnull;
  decltype(&::PQgetvalue) PQgetvalue;
  decltype(&::PQgetlength) PQgetlength;
  decltype(&::PQputCopyData) PQputCopyData;
  decltype(&::PQputCopyEnd) PQputCopyEnd;
};

// The library's functions; throws ServerError (Unusable), naming the library
// and the system's reason, when it cannot be loaded.
const LibPq& Pq();

}  // namespace jobs::pg
