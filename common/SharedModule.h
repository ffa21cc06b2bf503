#pragma once
// A shared library opened while the program runs, for the parts whose own
// libraries only a few commands need: the rest of the program starts without
// loading them.
#include <string>

namespace sharedmodule {

// Opens the library at `path`, all its references bound at once, and returns
// the address of its symbol `name`; nullptr with the system's reason in
// `error` when either fails. The library stays loaded until the program ends:
// what it loaded in turn (Qt) keeps state that outlives any call into it.
void* LoadSymbol(const std::string& path, const char* name, std::string& error);

}  // namespace sharedmodule
