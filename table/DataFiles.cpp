#include "table/DataFiles.h"

#include <algorithm>
#include <array>

#include "common/GbkKeywords.h"
#include "common/TextRules.h"
#include "table/KeywordScanner.h"

namespace datafile {

namespace {

using text::CutAt;
using text::FirstN;
using text::From;
using text::Pos;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kNo = "No.";
constexpr std::string_view kNoLabel = "No.:";

// "量程N校准值" for N = 0..7.
std::string RangeLabel(int n) {
  std::string label(gbk::kRange);
  label += static_cast<char>('0' + n);
  label += gbk::kCalValue;
  return label;
}

const std::array<std::string, 8>& RangeLabels() {
  static const std::array<std::string, 8> labels = [] {
    std::array<std::string, 8> l;
    for (int n = 0; n < 8; ++n) l[static_cast<size_t>(n)] = RangeLabel(n);
    return l;
  }();
  return labels;
}

// What a record adds up to, so that saving can take its memory once, at the
// exact size of the file.
struct ByteCount {
  size_t bytes = 0;
  ByteCount& operator+=(std::string_view s) {
    bytes += s.size();
    return *this;
  }
  ByteCount& operator+=(char) {
    ++bytes;
    return *this;
  }
};

// Out is std::string or ByteCount.
template <typename Out>
void AppendMeasurementLine(Out& out, const TableModel& table, int row, bool trimCells) {
  auto cell = [&](int col) {
    const std::string_view c = table.Cell(row, col);
    return trimCells ? text::TrimRight(c) : c;
  };
  // .ref puts a blank before each unit, .hif does not.
  const std::string_view nmUnit = trimCells ? " nm     " : "nm     ";
  const std::string_view dbmUnit = trimCells ? " dBm     " : "dBm     ";
  out += gbk::kTestTime;
  out += ':';
  out += cell(4);
  out += "       ";
  out += kNoLabel;
  out += cell(0);
  out += "       ";
  out += gbk::kRemark;
  out += ':';
  out += cell(5);
  out += "        ";
  out += gbk::kWavelength;
  out += ':';
  out += cell(1);
  out += nmUnit;
  out += gbk::kLinearPower;
  out += ':';
  out += cell(2);
  out += "     ";
  out += gbk::kLogPower;
  out += ':';
  out += cell(3);
  out += dbmUnit;
  out += kCrLf;
}

template <typename Out>
void AppendParameterLines(Out& out, const TableModel& table, int row) {
  out += gbk::kWavelength;
  out += ':';
  out += table.Cell(row, 0);
  out += "nm     ";
  out += gbk::kWavelengthCalValue;
  out += ':';
  out += table.Cell(row, 1);
  out += "     ";
  out += kCrLf;
  for (int n = 0; n < 8; ++n) {
    out += RangeLabels()[static_cast<size_t>(n)];
    out += ':';
    out += table.Cell(row, n + 2);
    out += "dBm     ";
    out += kCrLf;
  }
}

template <typename Out>
void AppendRecords(Out& out, const TableModel& table, FileType type) {
  for (int row = 0; row < table.RowCount(); ++row) {
    if (type == FileType::Syf) {
      AppendParameterLines(out, table, row);
    } else if (type == FileType::Ref || type == FileType::Hif) {
      AppendMeasurementLine(out, table, row, type == FileType::Ref);
    }
  }
  out += '\0';
}

// The cells of one .ref or .hif record R (a line, or the whole rest when its
// "dBm" is missing), by column.
std::array<std::string_view, 6> MeasurementCells(std::string_view r) {
  std::array<std::string_view, 6> cells;
  cells[0] = CutAt(From(r, Pos(r, kNo) + 4), gbk::kRemark);
  cells[5] = CutAt(From(r, Pos(r, gbk::kRemark) + 5), gbk::kWavelength);
  cells[1] = CutAt(From(r, Pos(r, gbk::kWavelength) + 5), "nm");
  const std::string_view linear = From(r, Pos(r, gbk::kLinear) + 9);
  cells[2] = FirstN(linear, Pos(linear, "W") + 1);
  cells[3] = CutAt(From(r, Pos(r, gbk::kLog) + 9), "dBm");
  // The time ends one byte before "No": the last of the blanks that precede it.
  const std::string_view time = From(r, Pos(r, gbk::kTestTime) + 9);
  cells[4] = FirstN(time, Pos(time, "No") - 1);
  return cells;
}

// The cells of one .syf record R (nine lines, or the whole rest when its
// "量程7校准值" is missing), by column.
std::array<std::string_view, 10> ParameterCells(std::string_view r) {
  std::array<std::string_view, 10> cells;
  cells[0] = CutAt(From(r, Pos(r, gbk::kWavelength) + 5), "nm");
  std::string_view calibration = CutAt(From(r, Pos(r, gbk::kWavelengthCalValue) + 11), "\r");
  // The writer puts five blanks after this cell; taking them back keeps the
  // cell from growing by five blanks with every open and save.
  constexpr std::string_view kTail = "     ";
  if (calibration.ends_with(kTail)) calibration.remove_suffix(kTail.size());
  cells[1] = calibration;
  for (size_t n = 0; n < 8; ++n) {
    const int at = Pos(r, RangeLabels()[n]);
    cells[n + 2] = CutAt(From(r, at + 12), "dBm");
  }
  return cells;
}

// What a row is taken to cost besides its cell texts (its place in the table,
// its memory block and the cell offsets), for the memory bound of loading.
constexpr size_t kRowOverheadBytes = 96;

template <size_t N>
size_t RowCost(const std::array<std::string_view, N>& cells) {
  size_t bytes = kRowOverheadBytes;
  for (std::string_view c : cells) bytes += c.size();
  return bytes;
}

template <size_t N>
void InsertCells(TableModel& table, int index, const std::array<std::string_view, N>& cells) {
  table.InsertRow(index, std::span<const std::string_view>(cells));
}

}  // namespace

std::string_view Extension(FileType type) {
  switch (type) {
    case FileType::Ref: return ".ref";
    case FileType::Hif: return ".hif";
    case FileType::Syf: return ".syf";
    case FileType::None: break;
  }
  return {};
}

std::string_view SaveFilter(FileType type) {
  switch (type) {
    case FileType::Ref: return " (*.ref)|*.ref|";
    case FileType::Hif: return " (*.hif)|*.hif|";
    case FileType::Syf: return " (*.syf)|*.syf|";
    case FileType::None: break;
  }
  return {};
}

FileType TypeForDataKind(DataKind kind) {
  switch (kind) {
    case DataKind::RealTime: return FileType::Ref;
    case DataKind::History: return FileType::Hif;
    case DataKind::Parameters: return FileType::Syf;
    default: return FileType::None;
  }
}

FileType TypeOfPath(std::string_view path) {
  for (FileType t : {FileType::Ref, FileType::Hif, FileType::Syf}) {
    if (path.ends_with(Extension(t))) return t;
  }
  return FileType::None;
}

std::string PathWithExtension(std::string_view path, FileType type) {
  std::string result(path);
  const std::string_view ext = Extension(type);
  if (result.find(ext) == std::string::npos) result += ext;
  return result;
}

std::string Compose(const TableModel& table, FileType type) {
  // Sizing the text by what the rows hold keeps saving's memory to the size of
  // the file, however the rows' lengths differ.
  ByteCount size;
  AppendRecords(size, table, type);
  std::string out;
  out.reserve(size.bytes);
  AppendRecords(out, table, type);
  return out;
}

std::string_view ContentOf(std::string_view fileBytes) {
  const size_t nul = fileBytes.find('\0');
  return nul == std::string_view::npos ? fileBytes : fileBytes.substr(0, nul);
}

int LoadRecords(FileType type, std::string_view content, TableModel& table, int firstRow,
                std::vector<int>* graphValues) {
  if (type == FileType::None) return 0;
  const bool parameters = type == FileType::Syf;
  // The record keyword that must still occur, and the label that ends a
  // record; the record text reaches `endSpan` bytes beyond the label's start.
  KeywordScanner keyword(content, parameters ? gbk::kWavelength : gbk::kTestTime);
  KeywordScanner endLabel(content, parameters ? gbk::kRange7CalValue : std::string_view("dBm"));
  const size_t endSpan = parameters ? 28 : 3;
  // By this measure the rows of a file Save writes take little more than its
  // own size. A damaged file may hold a record every few bytes, or records
  // whose missing labels make every cell a copy of most of the record; its
  // rows are read only while they stay within twice its size (and 1 MiB, so
  // that small files never meet the bound), so opening it cannot exhaust the
  // memory.
  const size_t budget = std::max(2 * content.size(), size_t{1} << 20);
  size_t used = 0;
  int count = 0;
  size_t rest = 0;  // C is content from here
  while (rest < content.size() && keyword.Find(rest) >= 0) {
    const long end = endLabel.Find(rest);
    // A record without its end label is the whole rest, and the last one:
    // nothing after it could end a record either.
    const size_t p = end < 0 ? content.size() - rest : static_cast<size_t>(end) - rest;
    const std::string_view r = content.substr(rest, p + endSpan);
    const int index = firstRow + count;
    if (parameters) {
      const auto cells = ParameterCells(r);
      used += RowCost(cells);
      if (used > budget) break;
      InsertCells(table, index, cells);
    } else {
      const auto cells = MeasurementCells(r);
      used += RowCost(cells);
      if (used > budget) break;
      InsertCells(table, index, cells);
      if (graphValues && graphValues->size() < static_cast<size_t>(kMaxGraphValues)) {
        graphValues->push_back(text::LeadingInt(cells[3]));
      }
    }
    ++count;
    if (end < 0) break;
    rest += p + 2;
  }
  return count;
}

}  // namespace datafile
