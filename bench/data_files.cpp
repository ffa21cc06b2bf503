// Opening and saving large data files through the table page (targets: a
// 10 MB .hif of about 90,000 records opens in under 1 s, linearly, and saves
// in under 0.5 s), the memory that 100,000 rows take, damaged files of every
// shape that once made opening slow or greedy (each must open in the time of a
// well-formed file of its size), and the peak resident memory of opening a
// well-formed file of up to 1 GiB.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "common/Gbk.h"
#include "common/GbkKeywords.h"
#include "ResidentMemory.h"
#include "table/DataFiles.h"
#include "table/KeywordScanner.h"
#include "table/TablePage.h"

namespace {

std::string TempPath(const std::string& name) {
  return "/tmp/km360r_bench_" + std::to_string(::getpid()) + "_" + name;
}

// A .hif file of `records` history lines as the meter's history gives them
// (no description): 90,000 records make about 11 MB.
std::string WriteHif(int records) {
  std::string path = TempPath(std::to_string(records) + ".hif");
  std::string bytes;
  for (int i = 0; i < records; ++i) {
    bytes += gbk::FromUtf8("测试时间:2012/05/06 10:20:30       No.:") + std::to_string(i + 1) +
             "       " + gbk::FromUtf8("备注:") + "        " +
             gbk::FromUtf8("波长:1310nm     线性功率:12.34uW     对数功率:-19.09dBm     \r\n");
  }
  bytes += '\0';
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void BM_OpenHif(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string path = WriteHif(records);
  TablePage page(FrameTexts::For(lang::Index::One), "1");
  for (auto _ : state) {
    if (page.OpenPath(path).status != FileOutcome::Status::Done) state.SkipWithError("open failed");
  }
  if (page.Model().RowCount() != records) state.SkipWithError("wrong row count");
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  state.counters["file MB"] = static_cast<double>(in.tellg()) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(in.tellg()));
  std::remove(path.c_str());
}

void BM_SaveHif(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string source = WriteHif(records);
  const std::string target = TempPath("saved.hif");
  TablePage page(FrameTexts::For(lang::Index::One), "1");
  page.OpenPath(source);
  for (auto _ : state) {
    if (page.SaveToPath(target, DataKind::History).status != FileOutcome::Status::Done) state.SkipWithError("save failed");
  }
  std::remove(source.c_str());
  std::remove(target.c_str());
}

// ---- well-formed and damaged files of one size --------------------------------

enum class Shape {
  WellFormedRef,   // records as Save writes them
  LeadBytes,       // a record without its "dBm", then GBK lead bytes, "A" and a record keyword
  NoEndLabels,     // records that all lack their "dBm"
  DenseEndLabels,  // "dBm" again and again, a record keyword at the end: a record per 3 bytes
  SyfNoEndLabel,   // parameter records that all lack their range 7 line
};

const std::string& RefRecord() {
  static const std::string r = gbk::FromUtf8(
      "测试时间:2012/05/06 10:20:30       No.:1       备注:        波长:1310 nm     "
      "线性功率:12.34uW     对数功率:-19.09 dBm     \r\n");
  return r;
}

// The content of a file of about `bytes` bytes of the shape, and its extension.
std::string ShapeBytes(Shape shape, size_t bytes) {
  std::string out;
  out.reserve(bytes + 200);
  auto repeat = [&](const std::string& unit) {
    while (out.size() + unit.size() <= bytes) out += unit;
  };
  switch (shape) {
    case Shape::WellFormedRef:
      repeat(RefRecord());
      break;
    case Shape::LeadBytes:
      out = gbk::FromUtf8("测试时间:2012/05/06 10:20:31       No.:2       ");
      out.append(bytes - out.size() - 9, '\xB2');
      out += 'A';
      out += gbk::kTestTime;
      break;
    case Shape::NoEndLabels:
      repeat(gbk::FromUtf8("测试时间:2012/05/06 10:20:30       No.:1       备注:        "
                           "波长:1310 nm     线性功率:12.34uW     对数功率:-19.09\r\n"));
      break;
    case Shape::DenseEndLabels:
      repeat("dBm");
      out += gbk::kTestTime;
      break;
    case Shape::SyfNoEndLabel:
      repeat(gbk::FromUtf8("波长:1310nm     波长校准值:1.2       \r\n量程0校准值:-0.25dBm     \r\n"));
      break;
  }
  out += '\0';
  return out;
}

// Opens a file of `kilobytes` KB of the shape through the table page; the
// peak resident memory is taken on one extra open into a fresh page.
void BM_Open(benchmark::State& state, Shape shape) {
  const size_t bytes = static_cast<size_t>(state.range(0)) * 1000;
  const bool parameters = shape == Shape::SyfNoEndLabel;
  const std::string path = TempPath(std::to_string(bytes) + (parameters ? ".syf" : ".ref"));
  std::ofstream(path, std::ios::binary) << ShapeBytes(shape, bytes);
  int rows = 0;
  {
    TablePage page(FrameTexts::For(lang::Index::One), "1");
    for (auto _ : state) {
      if (page.OpenPath(path).status != FileOutcome::Status::Done) {
        state.SkipWithError("open failed");
      }
    }
    rows = page.Model().RowCount();
  }
  malloc_trim(0);
  const double base = ResidentMegabytes(getpid());
  ResetPeakResident();
  {
    TablePage page(FrameTexts::For(lang::Index::One), "1");
    page.OpenPath(path);
    state.counters["peak RSS / file"] = (PeakResidentMegabytes() - base) * 1048576.0 / bytes;
  }
  state.counters["rows"] = rows;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  std::remove(path.c_str());
}

// Every start from 0 to the end, one byte apart, over the lead-byte shape: the
// searches the opener once made for a record without its end label.
void BM_ScannerEveryStart(benchmark::State& state) {
  const std::string text = ShapeBytes(Shape::LeadBytes, static_cast<size_t>(state.range(0)) * 1000);
  for (auto _ : state) {
    KeywordScanner scanner(text, gbk::kTestTime);
    long last = 0;
    for (size_t start = 0; start <= text.size(); ++start) last = scanner.Find(start);
    benchmark::DoNotOptimize(last);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// A well-formed .ref file of `mebibytes` MiB, written in pieces so that making
// it does not raise the peak; the peak resident memory of opening it, over
// the resident memory before, is given per byte of the file.
void BM_OpenLargeRef(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  const std::string path = TempPath(std::to_string(state.range(0)) + "MiB.ref");
  {
    std::ofstream out(path, std::ios::binary);
    std::string piece;
    while (piece.size() + RefRecord().size() <= (size_t{1} << 20)) piece += RefRecord();
    size_t written = 0;
    while (written + piece.size() <= bytes) {
      out << piece;
      written += piece.size();
    }
    while (written + RefRecord().size() + 1 <= bytes) {
      out << RefRecord();
      written += RefRecord().size();
    }
    out << std::string(bytes - written, '\0');
  }
  int rows = 0;
  double ratio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const double base = ResidentMegabytes(getpid());
    ResetPeakResident();
    auto page = std::make_unique<TablePage>(FrameTexts::For(lang::Index::One), "1");
    state.ResumeTiming();
    if (page->OpenPath(path).status != FileOutcome::Status::Done) {
      state.SkipWithError("open failed");
    }
    state.PauseTiming();
    ratio = (PeakResidentMegabytes() - base) * 1048576.0 / static_cast<double>(bytes);
    rows = page->Model().RowCount();
    page.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
  state.counters["peak RSS / file"] = ratio;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  std::remove(path.c_str());
}

// Memory of a table of 100,000 real-time rows as the opener builds them.
void BM_RowsMemory(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const size_t heapBefore = mallinfo2().uordblks;
    TableModel model;
    for (int c = 0; c < 6; ++c) model.InsertColumn(c, "c", 100);
    for (int r = 0; r < rows; ++r) {
      const int row = model.InsertRow(r, std::to_string(r + 1) + "       ");
      model.SetCell(row, 1, "1310 ");
      model.SetCell(row, 2, "12.34uW");
      model.SetCell(row, 3, "-19.09 ");
      model.SetCell(row, 4, "2012/05/06 10:20:30      ");
      model.SetCell(row, 5, "        ");
    }
    const double heap = static_cast<double>(mallinfo2().uordblks - heapBefore);
    state.counters["heap MB"] = heap / 1e6;
    state.counters["heap bytes/row"] = heap / rows;
    state.counters["model MB"] = static_cast<double>(model.ApproximateBytes()) / 1e6;
  }
}

}  // namespace

BENCHMARK(BM_OpenHif)->Arg(22500)->Arg(45000)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveHif)->Arg(90000)->Unit(benchmark::kMillisecond);
// Sizes in KB: 1 MB and 10 MB.
BENCHMARK_CAPTURE(BM_Open, well_formed_ref, Shape::WellFormedRef)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, lead_bytes, Shape::LeadBytes)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, no_end_labels, Shape::NoEndLabels)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, dense_end_labels, Shape::DenseEndLabels)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, syf_no_end_label, Shape::SyfNoEndLabel)
    ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScannerEveryStart)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
// Sizes in MiB.
BENCHMARK(BM_OpenLargeRef)
    ->Arg(256)->Arg(512)->Arg(1024)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowsMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
