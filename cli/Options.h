#pragma once
// The command line of km360r-cli:
//   km360r-cli [--port PATH] [--language N] COMMAND [ARGS...]
#include <optional>
#include <string>
#include <vector>

#include "cli/JobOptions.h"
#include "field/Readout.h"

namespace cli {

struct Options {
  std::optional<std::string> port;      // --port PATH
  std::optional<std::string> language;  // --language N (the raw language value)
  std::optional<std::string> store;     // --store FILE (the results store)
  std::optional<std::string> server;    // --server URL (a team's results server)
  std::string command;
  std::optional<long> count;            // realtime --count N
  std::optional<std::string> out;       // --out FILE
  std::optional<std::string> time;      // set-clock --time "YYYY-MM-DD HH:MM:SS"
  bool yes = false;                     // reset --yes
  std::vector<std::string> operands;    // positional arguments after the command
  // The field options of realtime.
  bool stats = false;                       // --stats
  std::optional<double> reference;          // --reference DBM
  std::optional<field::Window> limits;      // --limits LOW,HIGH
  std::optional<std::string> log;           // --log FILE
  JobArgs job;                              // profiles, job ...
};

// Parses argv. On a usage error returns nullopt and sets `error`.
std::optional<Options> Parse(int argc, char** argv, std::string& error);

// The usage text for --help and for usage errors.
const char* UsageText();

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMeter = 1;  // meter not found, lost, or a refused setting
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFile = 3;   // a file that cannot be read or written
inline constexpr int kExitLimits = 4; // the run succeeded, a reading was outside --limits (or a FAIL capture)

}  // namespace cli
