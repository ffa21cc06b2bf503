#include "jobs/LibPq.h"

#include <optional>
#include <string>

#include "common/SharedModule.h"
#include "jobs/ServerError.h"

namespace jobs::pg {

namespace {

constexpr const char* kLibrary = "libpq.so.5";

// The library's functions, or why they are not there.
struct Loaded {
  std::optional<LibPq> functions;
  std::string error;
};

Loaded Load() {
  Loaded l;
  LibPq f{};
  bool ok = true;
  auto get = [&](auto& pointer, const char* name) {
    if (!ok) return;
    void* symbol = sharedmodule::LoadSymbol(kLibrary, name, l.error);
    ok = symbol != nullptr;
    pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(symbol);
  };
#define KM360R_PQ(name) get(f.name, #name)
  KM360R_PQ(PQconnectdbParams);
  KM360R_PQ(PQstatus);
  KM360R_PQ(PQerrorMessage);
  KM360R_PQ(PQfinish);
  KM360R_PQ(PQsetNoticeProcessor);
  KM360R_PQ(PQexec);
  KM360R_PQ(PQexecParams);
  KM360R_PQ(PQgetResult);
  KM360R_PQ(PQresultStatus);
  KM360R_PQ(PQresultErrorField);
  KM360R_PQ(PQclear);
  KM360R_PQ(PQntuples);
  KM360R_PQ(PQgetisnull);
  KM360R_PQ(PQgetvalue);
  KM360R_PQ(PQgetlength);
  KM360R_PQ(PQputCopyData);
  KM360R_PQ(PQputCopyEnd);
#undef KM360R_PQ
  if (ok) l.functions = f;
  return l;
}

}  // namespace

const LibPq& Pq() {
  static const Loaded loaded = Load();
  if (!loaded.functions) {
    throw ServerError(ServerError::Why::Unusable,
                      std::string("PostgreSQL's client library ") + kLibrary + " could not be loaded (" + loaded.error + ")");
  }
  return *loaded.functions;
}

}  // namespace jobs::pg
