// Test jobs at field size: one capture stored and committed (target: under
// 20 ms), and a job of 10,000 points measured at three wavelengths opened with
// its latest results (under 0.5 s), reported to PDF (under 5 s) and exported
// as CSV and as a workbook (under 1 s each). The store's bytes per result are
// a counter of the opening benchmark.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "jobs/Capture.h"
#include "jobs/JobExport.h"
#include "jobs/JobReport.h"
#include "jobs/SqliteStore.h"
#include "print/ui/PdfReport.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPoints = 10000;
constexpr int kWavelengths[] = {1310, 1490, 1550};
const char* const kJob = "Estate 10k";

fs::path Folder() {
  static const fs::path folder = [] {
    const fs::path f = fs::temp_directory_path() / ("km360r-bench-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

jobs::Job MakeJob(const std::string& name) {
  jobs::Job job;
  job.name = name;
  job.site = "Block C";
  job.operatorName = "Ann";
  job.profile = jobs::BuiltInProfiles().at(0);
  job.referencesDbm[1550] = -3.0;
  return job;
}

std::vector<std::string> Labels(int n) {
  std::vector<std::string> labels;
  char text[32];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(text, sizeof text, "SPL-%03d/%02d", (i - 1) / 32 + 1, (i - 1) % 32 + 1);
    labels.emplace_back(text);
  }
  return labels;
}

// The 10,000-point store, captured once: every point at every wavelength.
// Its 30,000 captures are each committed to the disk, so the store is filled
// in memory-backed /dev/shm where there is one; reading it costs the same.
fs::path FillFolder() {
  static const fs::path folder = [] {
    std::error_code e;
    const fs::path shm = fs::path("/dev/shm") / ("km360r-bench-" + std::to_string(::getpid()));
    return fs::create_directories(shm, e) ? shm : Folder();
  }();
  return folder;
}

const std::string& BigStore() {
  static const std::string path = [] {
    const std::string p = (FillFolder() / "big.sqlite").string();
    jobs::SqliteStore store(p);
    const jobs::Job job = MakeJob(kJob);
    const std::vector<std::string> labels = Labels(kPoints);
    store.CreateJob(job, labels);
    const std::optional<jobs::Job> stored = store.FindJob(kJob);
    int i = 0;
    for (const std::string& label : labels) {
      for (int nm : kWavelengths) {
        jobs::Result r = jobs::ResultOf(*stored, label, nm, {-20.0 - (i % 13), -20.1 - (i % 13)}, 1'780'000'000 + i);
        store.AddResult(kJob, r);
        ++i;
      }
    }
    return p;
  }();
  return path;
}

struct Opened {
  jobs::Job job;
  std::vector<jobs::JobRow> rows;
};

Opened Open(jobs::SqliteStore& store) {
  Opened o{*store.FindJob(kJob), {}};
  o.rows = jobs::JobRows(store.Points(kJob), store.LatestResults(kJob));
  return o;
}

void CaptureToCommitted(benchmark::State& state) {
  jobs::SqliteStore store((Folder() / "capture.sqlite").string());
  store.CreateJob(MakeJob("Capture"), Labels(32));
  const jobs::Job job = *store.FindJob("Capture");
  int i = 0;
  for (auto _ : state) {
    jobs::Result r = jobs::ResultOf(job, "SPL-001/05", kWavelengths[i++ % 3], {-20.0, -20.2, -19.9}, 1'780'000'000);
    store.AddResult("Capture", r);
  }
}
BENCHMARK(CaptureToCommitted)->Unit(benchmark::kMillisecond)->Iterations(200);

void OpenJob(benchmark::State& state) {
  const std::string& path = BigStore();
  size_t rows = 0;
  for (auto _ : state) {
    jobs::SqliteStore store(path);
    rows = Open(store).rows.size();
  }
  const double results = kPoints * 3.0;
  const auto bytes = static_cast<double>(fs::file_size(path));
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["store_bytes_per_result"] = bytes / results;
}
BENCHMARK(OpenJob)->Unit(benchmark::kMillisecond)->Iterations(5);

void ReportJobToPdf(benchmark::State& state) {
  jobs::SqliteStore store(BigStore());
  const Opened o = Open(store);
  size_t bytes = 0;
  for (auto _ : state) {
    PdfReportOutput pdf;
    jobs::JobReportRequest request{o.job, o.rows, false, "2026-12-07T21:00:00+00:00"};
    if (jobs::PrintJobReport(pdf.Device(), request) != jobs::JobReportOutcome::Printed) {
      state.SkipWithError("the report failed");
      break;
    }
    bytes = pdf.Bytes().size();
  }
  state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ReportJobToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void ExportJob(benchmark::State& state, const char* name) {
  jobs::SqliteStore store(BigStore());
  const Opened o = Open(store);
  const std::string out = (Folder() / name).string();
  for (auto _ : state) {
    const std::string failure = jobs::ExportJob(o.rows, out);
    if (!failure.empty()) {
      state.SkipWithError(failure.c_str());
      break;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(out));
}
BENCHMARK_CAPTURE(ExportJob, Csv, "estate.csv")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(ExportJob, Workbook, "estate.xls")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  static int qtArgc = 3;
  static char name[] = "bench_job_store_qt", option[] = "-platform", platform[] = "offscreen";
  static char* qtArgv[] = {name, option, platform, nullptr};
  QGuiApplication app(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(Folder(), ignored);
  fs::remove_all(FillFolder(), ignored);
  return 0;
}
