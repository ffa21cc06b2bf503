#include "cli/JobRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "cli/MeterSession.h"
#include "cli/ReportRun.h"
#include "cli/StopSignals.h"
#include "cli/TableOutput.h"
#include "common/Language.h"
#include "field/Readout.h"
#include "jobs/Capture.h"
#include "jobs/JobExport.h"
#include "jobs/JobReport.h"
#include "jobs/JobSession.h"
#include "jobs/JobTable.h"
#include "jobs/PointPattern.h"
#include "jobs/ServerTarget.h"
#include "jobs/StoreFactory.h"
#include "jobs/StorePath.h"
#include "jobs/SyncTexts.h"
#include "jobs/TeamServer.h"
#include "jobs/Uuid.h"
#include "common/FileAccess.h"

namespace cli {

namespace {

int Refused(const std::string& message) {
  std::fprintf(stderr, "km360r-cli: %s\n", message.c_str());
  return kExitUsage;
}

constexpr size_t kOutputChunk = 64 * 1024;

// The cells escaped, TAB between them, and a newline.
void AppendLine(std::string& out, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) out += '\t';
    out += EscapeCell(cells[i]);
  }
  out += '\n';
}

void PrintLine(const std::vector<std::string>& cells) {
  std::string line;
  AppendLine(line, cells);
  StandardOutput().Write(line);
}

std::string Limit(const std::optional<double>& v) { return v ? jobs::FormatDb(*v) : std::string(); }

int Profiles(jobs::IResultsReader& store) {
  std::vector<jobs::Profile> all = jobs::BuiltInProfiles();
  for (jobs::Profile& p : store.UserProfiles()) all.push_back(std::move(p));
  for (const jobs::Profile& p : all) {
    for (const auto& [nm, range] : p.limits) {
      PrintLine({p.id, p.name, std::to_string(nm), Limit(range.low), Limit(range.high), Limit(p.lossBudget.high)});
    }
  }
  return kExitOk;
}

// The labels of --points and --points-file, in that order; kExitOk, or the
// exit code with the reason printed.
int NewLabels(const JobArgs& a, std::vector<std::string>& labels) {
  if (a.points) {
    jobs::Labels expanded = jobs::ExpandPattern(*a.points);
    if (!expanded.error.empty()) return Refused(expanded.error);
    labels = std::move(expanded.labels);
  }
  if (a.pointsFile) {
    const fileaccess::ReadResult file = fileaccess::ReadWholeFile(*a.pointsFile);
    if (file.error != fileaccess::ReadError::None) {
      std::fprintf(stderr, "km360r-cli: %s cannot be read%s%s\n", a.pointsFile->c_str(),
                   file.reason.empty() ? "" : ": ", file.reason.c_str());
      return kExitFile;
    }
    const std::string& f = *a.pointsFile;
    const bool csv = f.size() >= 4 && (f.compare(f.size() - 4, 4, ".csv") == 0 || f.compare(f.size() - 4, 4, ".CSV") == 0);
    jobs::Labels read = jobs::LabelsFromFile(file.bytes, csv);
    if (!read.error.empty()) return Refused(*a.pointsFile + ": " + read.error);
    labels.insert(labels.end(), read.labels.begin(), read.labels.end());
  }
  const std::string problem = jobs::AdditionProblem({}, labels);
  if (!problem.empty()) return Refused(problem);
  return kExitOk;
}

int New(jobs::IResultsStore& store, const JobArgs& a) {
  jobs::Job job;
  job.name = a.operands[0];
  job.site = a.site.value_or("");
  job.operatorName = a.operatorName.value_or("");
  job.samples = a.samples.value_or(jobs::kDefaultSamples);
  const std::string profileId = a.profile.value_or("gpon-b+");
  const std::optional<jobs::Profile> profile = jobs::FindProfile(profileId, store.UserProfiles());
  if (!profile) return Refused("there is no profile " + profileId + " (km360r-cli profiles lists them)");
  job.profile = *profile;
  std::vector<std::string> labels;
  if (const int code = NewLabels(a, labels); code != kExitOk) return code;
  job.uuid = jobs::NewUuid();
  store.CreateJob(job, labels);
  return kExitOk;
}

int List(jobs::IResultsReader& store) {
  for (const jobs::JobSummary& j : store.ListJobs()) {
    PrintLine({j.name, j.site, j.operatorName, std::to_string(j.points), std::to_string(j.pass),
               std::to_string(j.marginal), std::to_string(j.fail), std::to_string(j.untested), j.created});
  }
  return kExitOk;
}

int Points(jobs::IResultsWriter& store, const JobArgs& a) {
  const std::string& job = a.operands[0];
  const std::string& edit = a.operands[1];
  if (edit == "add") {
    jobs::Labels added = jobs::ExpandPattern(a.operands[2]);
    if (!added.error.empty()) return Refused(added.error);
    store.AddPoints(job, added.labels);
  } else if (edit == "remove") {
    store.RemovePoint(job, a.operands[2]);
  } else {
    store.RenamePoint(job, a.operands[2], a.operands[3]);
  }
  return kExitOk;
}

int Show(jobs::IResultsReader& store, const JobArgs& a) {
  const std::string& job = a.operands[0];
  const std::vector<std::string> points = store.Points(job);
  std::vector<jobs::Result> latest = store.LatestResults(job);
  PrintLine(jobs::ShowHeader());
  // A job's thousands of lines go out in large writes, not one each, as they
  // are made: the rows are not gathered first.
  std::string lines;
  jobs::ForEachJobRow(points, latest, [&lines](const std::string& point, const jobs::Result* result) {
    AppendLine(lines, jobs::ShowCells(point, result));
    if (lines.size() >= kOutputChunk) {
      StandardOutput().Write(lines);
      lines.clear();
    }
  });
  StandardOutput().Write(lines);
  return kExitOk;
}

int Export(jobs::IResultsReader& store, const JobArgs& a) {
  const std::string& job = a.operands[0];
  const std::string failure =
      jobs::ExportJob(jobs::JobRows(store.Points(job), store.LatestResults(job)), a.operands[1]);
  if (failure.empty()) return kExitOk;
  std::fprintf(stderr, "km360r-cli: %s cannot be written: %s\n", a.operands[1].c_str(), failure.c_str());
  return kExitFile;
}

// Reads the job's number of readings from the meter, all at one wavelength
// (a change of wavelength starts the count again), and stores their result.
// The readings are taken by the job panel's own rule (jobs::LiveReadings).
int Capture(jobs::IResultsStore& store, const Options& o) {
  const JobArgs& a = o.job;
  const std::string& name = a.operands[0];
  const std::string& point = a.operands[1];
  const std::optional<jobs::Job> job = store.FindJob(name);
  if (!job) return Refused("there is no job named " + name);
  const std::vector<std::string> points = store.Points(name);
  if (std::find(points.begin(), points.end(), point) == points.end()) {
    return Refused("there is no point " + point + " in the job " + name);
  }
  const int wanted = a.samples.value_or(job->samples);

  MeterSession s(o);
  if (!s.Connect() || StopSignal()) return kExitMeter;
  jobs::LiveReadings live;
  std::optional<jobs::CaptureInput> input;
  const auto started = std::chrono::steady_clock::now();
  s.service.Feed().Subscribe([&](const feed::Event& event) {
    const auto* row = std::get_if<feed::Row>(&event);
    if (!row) return;
    const meter::Measurement& m = row->measurement;
    if (!m.dBm || !m.wavelengthNm || input) return;
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - started;
    live.Add({since.count(), *m.wavelengthNm, *m.dBm, jobs::WallClockMs()});
    input = jobs::TakeCaptureInput(live, wanted);
  });
  s.service.OnReadRealTime();
  bool lost = false;
  s.RunUntil([&] {
    if (!s.service.Connected() || !s.service.RealTime()) lost = true;
    return lost || input.has_value();
  });
  if (!lost) {
    s.service.OnReadRealTime();  // the second press stops the polling
    s.Drain();
  }
  // A stopped or lost run stores nothing: a result of fewer readings than the
  // job asks for would pass for a whole one.
  if (!input) return kExitMeter;
  jobs::Result result = jobs::ResultOf(*job, point, *input, std::time(nullptr));
  store.AddResult(name, result);
  PrintLine(jobs::ShowCells({point, result}));
  return result.verdict == jobs::Verdict::Fail ? kExitLimits : kExitOk;
}

// The server is reached before the local store is opened, so a server that
// cannot be used leaves the local store exactly as it was.
int SyncCommand(const std::string& server, const std::string& path, const jobs::SyncTexts& texts) {
  if (server.empty()) {
    return Refused("job sync needs a team server: --server URL, KM360R_SERVER or server= in config.ini");
  }
  const jobs::SyncCounts counts = jobs::SyncToTeamServer(server, path);
  StandardOutput().Write(texts.Done(counts.sent, counts.alreadyThere) + "\n");
  // What the server refused is named; everything else went.
  for (const std::string& refused : counts.refused) std::fprintf(stderr, "km360r-cli: %s\n", refused.c_str());
  return counts.refused.empty() ? kExitOk : kExitFile;
}

// job list, show, export and report read the team server when one is named.
int ServerRead(const std::string& server, const Options& o) {
  const std::unique_ptr<jobs::IResultsReader> store = jobs::OpenTeamServer(server);
  const JobArgs& a = o.job;
  if (a.action == "list") return List(*store);
  if (a.action == "show") return Show(*store, a);
  if (a.action == "report") return JobReport(*store, o);
  return Export(*store, a);
}

// SQLite's full check of the store: nothing printed when it is sound.
int Check(jobs::IResultsStore& store, const std::string& path) {
  const std::string problem = store.IntegrityProblem();
  if (problem.empty()) return kExitOk;
  std::fprintf(stderr, "km360r-cli: %s: the results store is damaged: %s\n", path.c_str(), problem.c_str());
  return kExitFile;
}

// The commands that leave the store as it is: they open a store in a folder
// the user may not write read-only, so they work there.
bool OnlyReads(const Options& o) {
  const std::string& action = o.job.action;
  return o.command == "profiles" || action == "list" || action == "show" || action == "export" ||
         action == "report" || action == "check";
}

}  // namespace

int RunJobCommand(const Options& o) {
  if (o.job.action == "report") {
    if (const std::string missing = ReportMissing(o); !missing.empty()) return Refused(missing);
    const std::string refused = fileaccess::RefusedTarget(o.job.operands[1]);
    if (!refused.empty()) {
      std::fprintf(stderr, "km360r-cli: cannot write %s (%s)\n", o.job.operands[1].c_str(), refused.c_str());
      return kExitFile;
    }
  }
  const std::string path = jobs::StorePath(o.store);
  const config::Settings settings = SettingsFor(o);
  const jobs::SyncTexts texts = jobs::SyncTexts::For(settings.LanguageIndex());
  try {
    const JobArgs& a = o.job;
    // The settings' server is where a sync goes; reads go to a server only
    // when this run names one, so that a laptop in the field lists its own jobs.
    const std::string server =
        a.action == "sync" ? jobs::ServerTarget(o.server, settings.server) : jobs::NamedServer(o.server);
    const bool readsServer = !server.empty() && (a.action == "list" || a.action == "show" ||
                                                 a.action == "export" || a.action == "report");
    if (a.action == "sync" || readsServer) {
      if (const std::string missing = jobs::TeamServerMissing(); !missing.empty()) return Refused(missing);
    }
    if (a.action == "sync") return SyncCommand(server, path, texts);
    if (readsServer) return ServerRead(server, o);
    const std::unique_ptr<jobs::IResultsStore> opened = jobs::OpenStore(
        {jobs::StoreKind::LocalFile, path}, OnlyReads(o) ? jobs::StoreAccess::ReadOnly : jobs::StoreAccess::ReadWrite);
    jobs::IResultsStore& store = *opened;
    if (o.command == "profiles") return Profiles(store);
    if (a.action == "check") return Check(store, path);
    if (a.action == "new") return New(store, a);
    if (a.action == "list") return List(store);
    if (a.action == "rename") {
      store.RenameJob(a.operands[0], a.operands[1]);
      return kExitOk;
    }
    if (a.action == "points") return Points(store, a);
    if (a.action == "reference") {
      store.SetReference(a.operands[0], std::stoi(a.operands[1]), a.referenceDbm);
      return kExitOk;
    }
    if (a.action == "show") return Show(store, a);
    if (a.action == "export") return Export(store, a);
    if (a.action == "report") return JobReport(store, o);
    return Capture(store, o);
  } catch (const jobs::StoreError& e) {
    if (const std::optional<std::string> problem = jobs::TeamServerProblem(e, texts)) {
      std::fprintf(stderr, "km360r-cli: %s\n", problem->c_str());
      return kExitFile;
    }
    std::fprintf(stderr, "km360r-cli: %s\n", e.what());
    return e.GetKind() == jobs::StoreError::Kind::Refused ? kExitUsage : kExitFile;
  }
}

}  // namespace cli
