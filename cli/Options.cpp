#include "cli/Options.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "device/meters/Registry.h"
#include "settings/SettingsCommands.h"
#include "table/DataFiles.h"
#include "common/FileAccess.h"
#include "table/TableExport.h"
#include "table/XlsWorkbook.h"

namespace cli {

namespace {

// Which options each command takes, and how many operands.
struct CommandShape {
  bool count;
  bool out;
  size_t operands;
  const char* operand = "FILE";  // the operand's name in messages
  bool time = false;             // set-clock --time
  bool yes = false;              // reset --yes
  // Checks the operand before anything is sent; null when any text will do.
  bool (*valid)(const std::string&) = nullptr;
  bool field = false;            // realtime's --stats, --reference, --limits, --log
};

// The meter's wavelengths as the messages list them: "850 980 … 1625".
std::string MeterWavelengths() {
  std::string list;
  for (int nm : meters::StationModel().settings.wavelengthsNm) list += (list.empty() ? "" : " ") + std::to_string(nm);
  return list;
}

bool ValidWavelength(const std::string& nm) {
  return !nm.empty() && nm.size() <= 4 && nm.find_first_not_of("0123456789") == std::string::npos &&
         meter::HasWavelength(meters::StationModel(), std::stoi(nm));
}
bool ValidCalibration(const std::string& v) { return settings::ParseCalibrationValue(v).has_value(); }
bool ValidMode(const std::string& m) { return m == "normal" || m == "reference"; }

const CommandShape* ShapeOf(const std::string& command) {
  static const CommandShape kRealTime{true, true, 0, "FILE", false, false, nullptr, true};
  static const CommandShape kWithOut{false, true, 0};
  static const CommandShape kPlain{false, false, 0};
  static const CommandShape kShow{false, false, 1};
  static const CommandShape kReport{false, false, 2, "FILE and OUT.pdf"};
  static const CommandShape kExport{false, false, 2, "FILE and OUT"};
  static const CommandShape kSetClock{false, false, 0, "", true};
  static const CommandShape kSetWavelength{false, false, 1, "NM", false, false, ValidWavelength};
  static const CommandShape kCalibrate{false, false, 1, "VALUE", false, false, ValidCalibration};
  static const CommandShape kSetMode{false, false, 1, "MODE", false, false, ValidMode};
  static const CommandShape kReset{false, false, 0, "", false, true};
  if (command == "realtime") return &kRealTime;
  if (command == "history" || command == "ad-values" || command == "params") return &kWithOut;
  if (command == "scan" || command == "wavelength-codes") return &kPlain;
  if (command == "show") return &kShow;
  if (command == "report") return &kReport;
  if (command == "export") return &kExport;
  if (command == "set-clock") return &kSetClock;
  if (command == "set-wavelength") return &kSetWavelength;
  if (command == "calibrate") return &kCalibrate;
  if (command == "set-mode") return &kSetMode;
  if (command == "reset") return &kReset;
  return nullptr;
}

// Why an operand of a settings command is refused.
std::string OperandError(const std::string& command) {
  if (command == "set-wavelength") return "set-wavelength needs one of " + MeterWavelengths();
  if (command == "calibrate") {
    return "calibrate needs a sign, an integer part of one or two digits and a two-digit fraction, "
           "e.g. +1.05 or -0.50";
  }
  return "set-mode needs normal or reference";
}

// "LOW,HIGH": two numbers, the first not above the second.
std::optional<field::Window> ParseLimits(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto low = field::ParseDecibels(std::string_view(text).substr(0, comma));
  const auto high = field::ParseDecibels(std::string_view(text).substr(comma + 1));
  if (!low || !high || *low > *high) return std::nullopt;
  return field::Window{*low, *high};
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool EndsWithDataExtension(const std::string& path) {
  std::string lower = path;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return EndsWith(lower, ".ref") || EndsWith(lower, ".hif") || EndsWith(lower, ".syf");
}

// The file an export writes for OUT: the workbook under OUT itself, the CSV
// file under OUT with ".csv" appended unless it ends in it.
std::string ExportedPath(const std::string& out) {
  return xls::IsWorkbookName(out) ? out : tableexport::CsvPath(out);
}

// Why the file commands' OUT is refused, empty when it will do: a name is
// needed, and neither the input file nor a data file may be written over.
std::string OutputError(const Options& o) {
  const std::string& in = o.operands[0];
  const std::string& out = o.operands[1];
  if (out.empty() || out.back() == '/') return o.command + " needs a file name for OUT";
  const std::string written = o.command == "export" ? ExportedPath(out) : out;
  if (written == in || fileaccess::SameFile(written, in)) {
    return o.command + ": OUT is the input file " + in + "; name another file";
  }
  if (o.command == "report" && EndsWithDataExtension(out)) {
    return "report writes a PDF file: OUT must not end in .ref, .hif or .syf";
  }
  return {};
}

// realtime --out and --log naming one file would write the rows over the log.
bool LogIsSavedFile(const Options& o) {
  if (!o.out || !o.log) return false;
  const std::string saved = datafile::PathWithExtension(*o.out, datafile::FileType::Ref);
  return *o.log == saved || *o.log == *o.out || fileaccess::SameFile(*o.log, saved);
}

bool ParseCount(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value > 0;
}

}  // namespace

std::optional<Options> Parse(int argc, char** argv, std::string& error) {
  Options o;
  int i = 1;
  auto value = [&](const std::string& name) -> std::optional<std::string> {
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return std::nullopt;
    }
    return std::string(argv[++i]);
  };
  // An option's value as `parse` reads it; nullopt with `error` set when it
  // is missing or refused.
  auto parsedValue = [&](const std::string& name, auto parse, const char* refused) {
    decltype(parse(std::string())) parsed;
    if (const auto v = value(name)) {
      parsed = parse(*v);
      if (!parsed) error = refused;
    }
    return parsed;
  };

  // Global options come before the command.
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--port") {
      auto v = value(a);
      if (!v) return std::nullopt;
      // An empty path would leave the scan unrestricted: the meter found could
      // be another one than the device asked for.
      if (v->empty()) {
        error = "--port needs a device path";
        return std::nullopt;
      }
      o.port = *v;
    } else if (a == "--language") {
      auto v = value(a);
      if (!v) return std::nullopt;
      if (v->size() != 1 || (*v)[0] < '0' || (*v)[0] > '3') {
        error = "--language needs 0, 1, 2 or 3";
        return std::nullopt;
      }
      o.language = *v;
    } else if (a == "--store") {
      auto v = value(a);
      if (!v) return std::nullopt;
      if (v->empty()) {
        error = "--store needs a file name";
        return std::nullopt;
      }
      o.store = *v;
    } else if (a == "--server") {
      auto v = value(a);
      if (!v) return std::nullopt;
      if (v->empty()) {
        error = "--server needs a server, e.g. postgresql://host/km360r";
        return std::nullopt;
      }
      o.server = *v;
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown option " + a;
      return std::nullopt;
    } else {
      o.command = a;
      ++i;
      break;
    }
  }
  if (o.command.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  if (o.command == "job" || o.command == "profiles") {
    if (!ParseJobArgs(o.command, i, argc, argv, o.job, error)) return std::nullopt;
    return o;
  }
  const CommandShape* shape = ShapeOf(o.command);
  if (!shape) {
    error = "unknown command " + o.command;
    return std::nullopt;
  }

  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--count" && shape->count) {
      auto v = value(a);
      if (!v) return std::nullopt;
      long n = 0;
      if (!ParseCount(*v, n)) {
        error = "--count needs a positive whole number";
        return std::nullopt;
      }
      o.count = n;
    } else if (a == "--out" && shape->out) {
      auto v = value(a);
      if (!v) return std::nullopt;
      // Without a file name the save would append only the extension and
      // leave a hidden ".ref" (or ".hif", ".syf") in the folder.
      if (v->empty() || v->back() == '/') {
        error = "--out needs a file name";
        return std::nullopt;
      }
      o.out = *v;
    } else if (a == "--time" && shape->time) {
      auto v = value(a);
      if (!v) return std::nullopt;
      if (!settings::ParseClockTime(*v)) {
        error = "--time needs \"YYYY-MM-DD HH:MM:SS\", a date that exists, years 2000 to 2099";
        return std::nullopt;
      }
      o.time = *v;
    } else if (a == "--yes" && shape->yes) {
      o.yes = true;
    } else if (a == "--stats" && shape->field) {
      o.stats = true;
    } else if (a == "--reference" && shape->field) {
      o.reference = parsedValue(a, [](const std::string& v) { return field::ParseDecibels(v); },
                                "--reference needs a power in dBm from -200 to 200, e.g. -20 or -3.5");
      if (!o.reference) return std::nullopt;
    } else if (a == "--limits" && shape->field) {
      o.limits = parsedValue(a, ParseLimits,
                             "--limits needs LOW,HIGH, two numbers from -200 to 200 with LOW not above HIGH, "
                             "e.g. -27,-8");
      if (!o.limits) return std::nullopt;
    } else if (a == "--log" && shape->field) {
      auto v = value(a);
      if (!v) return std::nullopt;
      if (v->empty()) {
        error = "--log needs a file name";
        return std::nullopt;
      }
      o.log = *v;
    } else if (a.rfind("--", 0) == 0) {
      error = "option " + a + " does not go with " + o.command;
      return std::nullopt;
    } else {
      o.operands.push_back(a);
    }
  }
  if (o.operands.size() != shape->operands) {
    error = o.command + (shape->operands == 2 ? std::string(" needs ") + shape->operand
                         : shape->operands  ? std::string(" needs one ") + shape->operand
                                            : std::string(" takes no arguments"));
    return std::nullopt;
  }
  if (shape->valid && !shape->valid(o.operands[0])) {
    error = OperandError(o.command);
    return std::nullopt;
  }
  if (o.operands.size() == 2) {
    error = OutputError(o);
    if (!error.empty()) return std::nullopt;
  }
  if (LogIsSavedFile(o)) {
    error = "--log and --out name one file; give the log a name of its own";
    return std::nullopt;
  }
  // A factory reset is not undone: the command line has to say so.
  if (shape->yes && !o.yes) {
    error = "reset restores the meter's factory settings; confirm with --yes";
    return std::nullopt;
  }
  return o;
}

const char* UsageText() {
  static const std::string text = std::string("usage: km360r-cli [--port PATH] [--language N] [--store FILE] [--server URL] COMMAND [ARGS...]\n"
         "       km360r-cli --version | --help\n"
         "\n"
         "meter commands:\n"
         "  scan                                 find the meter, print its device path\n"
         "  realtime [--count N] [--out FILE]    read once a second (until interrupted)\n"
         "           [--stats] [--reference DBM] [--limits LOW,HIGH] [--log FILE]\n"
         "                                       statistics on stderr at the end, a relative\n"
         "                                       column (reading - DBM), a PASS/FAIL column,\n"
         "                                       each row appended to a CSV log as it arrives\n"
         "  history [--out FILE]                 read the stored measurements\n"
         "  ad-values [--out FILE]               read the AD values\n"
         "  wavelength-codes                     read the wavelength code listing\n"
         "  params [--out FILE]                  read the system parameters\n"
         "  set-clock [--time \"YYYY-MM-DD HH:MM:SS\"]  set the meter's clock (default: now)\n"
         "  set-wavelength NM                    ") + MeterWavelengths() + "\n" +
         std::string(
         "  calibrate VALUE                      against a -3 dBm source: +1.05, -0.50, +12.00\n"
         "  set-mode normal|reference            the measurement mode\n"
         "  reset --yes                          restore the meter's factory settings\n"
         "file commands:\n"
         "  show FILE                            print a .ref, .hif or .syf file's table\n"
         "  report FILE OUT.pdf                  print a .ref or .hif file's table as the test\n"
         "                                       report into a PDF file\n"
         "  export FILE OUT                      export a data file's table: OUT ending in\n"
         "                                       .xls gives an Excel workbook, any other\n"
         "                                       name a CSV file (\".csv\" appended unless\n"
         "                                       OUT ends in it)\n"
         "test jobs (results store: --store FILE, else $KM360R_STORE, else\n"
         "$XDG_DATA_HOME/km360r/results.sqlite, else ~/.local/share/km360r/results.sqlite):\n"
         "  profiles                             list the threshold profiles, one line a limit\n"
         "  job new NAME [--site S] [--operator O] [--profile ID] [--points PATTERN]\n"
         "          [--points-file F] [--samples N]\n"
         "                                       make a job; PATTERN as P01-P32 or SPL-A/1-8,\n"
         "                                       parts joined by \",\"; profile gpon-b+ unless\n"
         "                                       given; N readings per capture (default 3)\n"
         "  job list                             the jobs with their counts\n"
         "  job rename OLD NEW                   rename a job; the next sync carries the new\n"
         "                                       name to the team server\n"
         "  job points NAME add PATTERN | remove LABEL | rename OLD NEW\n"
         "  job reference NAME NM DBM            the reference for loss at NM (- clears it)\n"
         "  job capture NAME POINT [--samples N] read N real-time readings, store their result\n"
         "  job show NAME                        the latest result of every point\n"
         "  job export NAME OUT                  OUT ending in .xls gives an Excel workbook,\n"
         "                                       any other name a UTF-8 CSV file\n"
         "  job report NAME OUT.pdf              the job report (header, summary, one row per\n"
         "                                       point with its verdict) into a PDF file\n"
         "  job sync                             push the results the team server lacks;\n"
         "                                       safe to repeat; a job the server refuses is\n"
         "                                       named, the others still go\n"
         "  job check                            the store's full integrity check\n"
         "texts are UTF-8 without control characters: a point label at most 64\n"
         "characters, a job name, site or operator at most 200\n"
         "team server (--server URL, else $KM360R_SERVER; a postgresql:// URL or libpq's\n"
         "key=value words, passwords from ~/.pgpass): job list, show, export and report\n"
         "read from it instead of the local store; job sync sends to it, else to server=\n"
         "in config.ini\n"
         "\n"
         "output: a table is one header line, then one line per row; cells are separated\n"
         "by one TAB; a TAB, CR, LF or backslash inside a cell is printed as \\t, \\r, \\n\n"
         "or \\\\. Messages go to standard error.\n"
         "Ctrl+C, SIGTERM, SIGHUP or a closed output pipe stop a meter command: what has\n"
         "arrived is still saved to --out, and the exit code is 128 + the signal number.\n"
         "exit codes: 0 success, 1 meter not found, lost or a setting refused, 2 usage error\n"
         "(nothing is sent to the meter),\n"
         "3 a file, the results store, the team server or the output cannot be read or written, 4 a reading\n"
         "outside --limits or a captured result that FAILs.\n");
  return text.c_str();
}

}  // namespace cli
