// km360r-cli: the command-line companion of the KM360R management program.
// It drives the program's own link, reading commands, table page and data
// files; windows and dialogs are replaced by arguments, standard output and
// standard error.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/FieldRun.h"
#include "cli/JobRun.h"
#include "cli/MeterSession.h"
#include "common/Environment.h"
#include "common/Gbk.h"
#include "common/TextRules.h"
#include "cli/Options.h"
#include "cli/OutputChecks.h"
#include "cli/ReportRun.h"
#include "cli/SettingsRun.h"
#include "cli/StopSignals.h"
#include "cli/TableOutput.h"
#include "print/TestReport.h"
#include "table/DataFiles.h"
#include "common/FileAccess.h"
#include "table/TableExport.h"
#include "table/XlsWorkbook.h"

namespace cli {
namespace {

// Commands the meter answers without a watched reply: how long the CLI waits
// for the first record, and how long a finished listing stays quiet
// (kListingStall, MeterSession.h, for a listing that has begun).
constexpr auto kFirstReplyWait = std::chrono::seconds(5);
constexpr auto kAdQuiet = std::chrono::seconds(2);
constexpr auto kParamsQuiet = std::chrono::seconds(1);

// The failure text for a meter that stopped answering an unwatched command.
void ReportSilentMeter(const MeterSession& s) {
  std::fprintf(stderr, "%s\n", s.texts.m_strLostMeter.c_str());
}

// Saves --out when given; a save failure turns success into kExitFile. Called
// before the table is printed, so a reader that goes away cannot lose the file.
int Finish(MeterSession& s, const Options& o, DataKind kind, int status) {
  if (!o.out) return status;
  const int saved = s.SaveTable(*o.out, kind);
  return status == kExitOk ? saved : status;
}

// Saves --out, then prints the whole table.
int FinishAndPrint(MeterSession& s, const Options& o, DataKind kind, int status) {
  const int finished = Finish(s, o, kind, status);
  TableOutput(s.table.Model(), StandardOutput()).PrintAll();
  return finished;
}

int Scan(MeterSession& s) {
  StandardOutput().Write(s.service.ConnectedPort() + "\n");
  return kExitOk;
}

int RealTime(MeterSession& s, const Options& o, FieldRun& field) {
  TableOutput output(s.table.Model(), StandardOutput());
  field.Follow(s, output);
  s.service.OnReadRealTime();
  output.PrintHeader();
  const long wanted = o.count.value_or(0);
  bool lost = false;
  s.RunUntil([&] {
    output.PrintNewRows();
    // A lost meter ends the reading (the watchdog or a lost line).
    if (!s.service.Connected() || !s.service.RealTime()) lost = true;
    return lost || (wanted > 0 && s.table.Model().RowCount() >= wanted);
  });
  if (!lost) {
    s.service.OnReadRealTime();  // the second press stops the polling
    s.Drain();
  }
  const int status = Finish(s, o, DataKind::RealTime, lost ? kExitMeter : kExitOk);
  output.PrintNewRows();
  return field.Conclude(o, status);
}

int History(MeterSession& s, const Options& o) {
  bool ended = false;
  s.onDone = [&](meter::Done done) { ended = ended || done == meter::Done::HistoryEnd; };
  s.service.OnReadHistory();
  s.RunUntil([&] { return ended || !s.service.History(); });
  s.Drain();
  return FinishAndPrint(s, o, DataKind::History, ended ? kExitOk : kExitMeter);
}

int AdValues(MeterSession& s, const Options& o) {
  s.service.OnReadAdValues();
  s.MarkCommandSent();
  s.RunUntil([&] {
    if (!s.service.Connected()) return true;
    const auto quiet = s.RecordsSinceCommand() ? kAdQuiet : kFirstReplyWait;
    return s.SinceLastRecord() >= quiet;
  });
  s.Drain();
  const bool answered = s.service.Connected() && s.RecordsSinceCommand() > 0;
  if (!answered && s.service.Connected() && !StopSignal()) ReportSilentMeter(s);
  return FinishAndPrint(s, o, DataKind::History, answered ? kExitOk : kExitMeter);
}

int WavelengthCodes(MeterSession& s) {
  std::string listing;
  bool closed = false;
  s.onReply = [&](const meter::Record& record) {
    if (closed) return;
    // The listing's text without the record ends.
    const std::string& r = record.Text();
    for (char c : text::FirstN(r, static_cast<int>(r.size()) - 1)) {
      if (c != '\r') listing += c;
    }
  };
  s.onDone = [&](meter::Done done) { closed = closed || done == meter::Done::ListingEnd; };
  s.service.OnReadWavelengthCodes();
  s.MarkCommandSent();
  s.RunUntil([&] {
    if (closed || !s.service.Connected()) return true;
    return s.SinceLastRecord() >= (s.RecordsSinceCommand() ? kListingStall : kFirstReplyWait);
  });
  if (!closed && s.service.Connected() && !StopSignal()) ReportSilentMeter(s);
  TextOutput& out = StandardOutput();
  out.Write(gbk::ToUtf8(listing));
  if (!listing.empty() && listing.back() != '\n') out.Write("\n");
  return closed ? kExitOk : kExitMeter;
}

int Params(MeterSession& s, const Options& o) {
  bool lastRange = false;
  s.onDone = [&](meter::Done done) { lastRange = lastRange || done == meter::Done::ParametersEnd; };
  s.service.OnReadParams();
  s.MarkCommandSent();
  s.RunUntil([&] {
    if (!s.service.Connected()) return true;
    if (lastRange) return s.SinceLastRecord() >= kParamsQuiet;
    return s.SinceLastRecord() >= (s.RecordsSinceCommand() ? kListingStall : kFirstReplyWait);
  });
  s.Drain();
  const bool complete = lastRange && s.service.Connected();
  if (!complete && s.service.Connected() && !StopSignal()) ReportSilentMeter(s);
  return FinishAndPrint(s, o, DataKind::Parameters, complete ? kExitOk : kExitMeter);
}

// The data file --out saves for a meter command.
std::string SavedPath(const Options& o) {
  const DataKind kind = o.command == "realtime" ? DataKind::RealTime
                        : o.command == "params" ? DataKind::Parameters
                                                : DataKind::History;
  return datafile::PathWithExtension(*o.out, datafile::TypeForDataKind(kind));
}

int MeterCommand(const Options& o) {
  if (o.out && RefusedOutput(SavedPath(o))) return kExitFile;
  MeterSession s(o);
  FieldRun field(s.service.Readout(), o, s.language);
  if (const int opened = field.OpenLog(o); opened != kExitOk) return opened;
  // A stop during the scan: no command has been sent, nothing to save.
  if (!s.Connect() || StopSignal()) return kExitMeter;
  if (o.command == "scan") return Scan(s);
  if (o.command == "realtime") return RealTime(s, o, field);
  if (o.command == "history") return History(s, o);
  if (o.command == "ad-values") return AdValues(s, o);
  if (o.command == "wavelength-codes") return WavelengthCodes(s);
  if (IsSettingCommand(o.command)) return RunSetting(s, o);
  return Params(s, o);
}

int Show(const Options& o) {
  MeterSession s(o);  // the table page as the program has it; no port is opened
  const FileOutcome outcome = s.service.OpenFile(o.operands[0]);
  if (outcome.status == FileOutcome::Status::Failed) {
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return kExitFile;
  }
  s.Drain();
  NoteUnreadName(o.operands[0]);
  TableOutput(s.table.Model(), StandardOutput()).PrintAll();
  return kExitOk;
}

// Opens FILE as Show does, then exports its table as the program's Export:
// the workbook for an OUT ending in ".xls", else the CSV file.
int Export(const Options& o) {
  const std::string& named = o.operands[1];
  const bool workbook = xls::IsWorkbookName(named);
  const std::string out = workbook ? named : tableexport::CsvPath(named);
  if (RefusedOutput(out)) return kExitFile;
  MeterSession s(o);
  const FileOutcome opened = s.service.OpenFile(o.operands[0]);
  if (opened.status == FileOutcome::Status::Failed) {
    std::fprintf(stderr, "%s\n", opened.message.c_str());
    return kExitFile;
  }
  s.Drain();
  NoteUnreadName(o.operands[0]);
  const tableexport::Outcome outcome =
      s.service.ExportTable(out, workbook ? tableexport::Target::Workbook : tableexport::Target::Csv);
  switch (outcome.status) {
    case tableexport::Outcome::Status::Done:
      return kExitOk;
    case tableexport::Outcome::Status::CreateFailed:
      std::fprintf(stderr, "%s\n", tableexport::kCreateFailed);
      return kExitFile;
    case tableexport::Outcome::Status::Failed:
      std::fprintf(stderr, "%s (%s)\n", tableexport::kExportFailed, outcome.reason.c_str());
      return kExitFile;
  }
  return kExitFile;
}

// The exit code once the command has run: a stop signal gives 128 + its
// number; a failed write to standard output is reported and, on an otherwise
// successful run, gives kExitFile, so a truncated table never passes for whole.
int Conclude(int status) {
  TextOutput& out = StandardOutput();
  out.Flush();
  const bool causedByStop = out.Errno() == EPIPE || (out.Errno() == EINTR && StopSignal());
  if (out.Failed() && !causedByStop) {
    std::fprintf(stderr, "km360r-cli: cannot write the output: %s\n", std::strerror(out.Errno()));
    if (status == kExitOk) status = kExitFile;
  }
  if (StopSignal()) return 128 + StopSignal();
  return status;
}

}  // namespace
}  // namespace cli

int main(int argc, char** argv) {
  std::vector<std::string> args = environment::ProgramArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  argc = static_cast<int>(args.size());
  argv = pointers.data();
#ifdef _WIN32
  // The tables, listings and messages are the same bytes as on Linux: LF line
  // ends, not the CR LF the C runtime's text mode would make of them.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  cli::IgnoreBrokenPipeSignal();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      cli::StandardOutput().Write(cli::UsageText());
      return cli::Conclude(cli::kExitOk);
    }
    if (a == "--version") {
      // KM360R_VERSION: the project's version, given by the build.
      cli::StandardOutput().Write("km360r-cli " KM360R_VERSION "\n");
      return cli::Conclude(cli::kExitOk);
    }
  }
  std::string error;
  const std::optional<cli::Options> options = cli::Parse(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "km360r-cli: %s\n%s", error.c_str(), cli::UsageText());
    return cli::kExitUsage;
  }
  // The file commands end on a stop signal as by default, leaving no partial
  // file behind; the meter commands stop their wait and save what arrived.
  fileaccess::RemoveTemporaryFileOnStopSignals();
  fileaccess::WritesFailAtFileSizeLimit();
  if (options->command == "show") return cli::Conclude(cli::Show(*options));
  if (options->command == "report") return cli::Conclude(cli::TableReport(*options));
  if (options->command == "export") return cli::Conclude(cli::Export(*options));
  cli::CatchStopSignals();
  if (options->command == "job" || options->command == "profiles") {
    return cli::Conclude(cli::RunJobCommand(*options));
  }
  return cli::Conclude(cli::MeterCommand(*options));
}
