#include "table/XlsWorkbook.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/Gbk.h"
#include "table/CompoundFile.h"
#include "common/FileAccess.h"

namespace xls {

namespace {

constexpr uint32_t kEmpty = std::numeric_limits<uint32_t>::max();
constexpr size_t kMaxRecordData = 8224;

// Record types.
constexpr uint16_t kBof = 0x0809, kEof = 0x000A, kCodePage = 0x0042, kWindow1 = 0x003D,
                   kFont = 0x0031, kXf = 0x00E0, kStyle = 0x0293, kBoundSheet = 0x0085,
                   kSst = 0x00FC, kContinue = 0x003C, kDefColWidth = 0x0055, kColInfo = 0x007D,
                   kDimensions = 0x0200, kLabelSst = 0x00FD, kWindow2 = 0x023E,
                   kNumber = 0x0203;

// Cell formats: 15 style formats and the default cell format come first, as
// every reader expects; the sheets' own formats follow, one per sheet.
constexpr uint16_t kFirstSheetXf = 16;

void Add16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Add32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Record(std::string& out, uint16_t type, std::string_view data) {
  Add16(out, type);
  Add16(out, static_cast<uint16_t>(data.size()));
  out += data;
}

// UTF-8 to UTF-16 code units; a malformed byte becomes U+FFFD.
std::u16string Utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else {
      const size_t need = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
      if (need && i + need <= utf8.size()) {
        uint32_t v = b & (0x7F >> need);
        bool ok = true;
        for (size_t k = 1; k < need; ++k) {
          const auto c = static_cast<unsigned char>(utf8[i + k]);
          ok = ok && (c & 0xC0) == 0x80;
          v = (v << 6) | (c & 0x3F);
        }
        if (ok) {
          cp = v;
          len = need;
        }
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

bool FitsInOneByte(const std::u16string& s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}

// The characters of a string: one byte each when all fit, else two.
void AddChars(std::string& out, const std::u16string& s, size_t from, size_t count, bool wide) {
  for (size_t i = from; i < from + count; ++i) {
    if (wide) {
      Add16(out, s[i]);
    } else {
      out += static_cast<char>(s[i]);
    }
  }
}

// A short Unicode string (sheet and font names): 8-bit length.
void AddShortString(std::string& out, const std::u16string& s) {
  const bool wide = !FitsInOneByte(s);
  out += static_cast<char>(s.size());
  out += static_cast<char>(wide ? 1 : 0);
  AddChars(out, s, 0, s.size(), wide);
}

std::string Bof(uint16_t kind) {
  std::string d;
  Add16(d, 0x0600);  // BIFF8
  Add16(d, kind);
  Add16(d, 0x0DBB);  // build
  Add16(d, 0x07CC);  // year
  Add32(d, 0);
  Add32(d, 0x00000006);
  return d;
}

std::string Font() {
  std::string d;
  Add16(d, 200);     // 10 points, in twentieths
  Add16(d, 0);       // no attributes
  Add16(d, 0x7FFF);  // window text colour
  Add16(d, 400);     // normal weight
  Add16(d, 0);       // no super- or subscript
  d += '\0';         // no underline
  d += '\0';         // family
  d += '\0';         // character set
  d += '\0';
  AddShortString(d, u"Arial");
  return d;
}

// A cell format record. `style`: a style format (parent none), else a cell
// format on the Normal style. `used`: the attribute groups a cell format sets.
std::string Xf(bool style, uint8_t alignment, uint8_t used) {
  std::string d;
  Add16(d, 0);  // font
  Add16(d, 0);  // number format General
  Add16(d, style ? 0xFFF5 : 0x0001);
  d += static_cast<char>(alignment);
  d += '\0';  // rotation
  d += '\0';  // indent, shrink, reading order
  d += static_cast<char>(used);
  Add32(d, 0);  // no borders
  Add32(d, 0);
  Add16(d, 0x20C0);  // pattern colours: automatic
  return d;
}

// The alignment byte: horizontal in bits 0-2, vertical in bits 4-6.
uint8_t AlignmentByte(HAlign h, VAlign v) {
  const uint8_t horizontal = h == HAlign::Left ? 1 : 0;
  const uint8_t vertical = v == VAlign::Top ? 0 : 2;
  return static_cast<uint8_t>(horizontal | (vertical << 4));
}

// The shared string table, split into CONTINUE records where it outgrows one
// record. A string's header never splits; its characters may, and the
// continuation repeats the one-byte-or-two flag.
// The workbook stream on its way to the file: records are put into `bytes`,
// which is handed on whenever it holds a megabyte, between records. Places
// count from the stream's start.
class StreamBuffer {
 public:
  explicit StreamBuffer(fileaccess::FileBytesOut& out) : m_out(out) { bytes.reserve(kHandOnBytes + 65536); }

  std::string bytes;

  size_t Position() const { return m_handedOn + bytes.size(); }
  bool Ok() const { return m_ok; }
  // After a record: hands the bytes on once there are enough of them.
  void Step() {
    if (bytes.size() >= kHandOnBytes) HandOn();
  }
  void HandOn() {
    if (m_ok && !bytes.empty()) m_ok = m_out.Append(bytes);
    m_handedOn += bytes.size();
    bytes.clear();
  }
  // Four bytes at `position`, which may have been handed on already.
  void Patch32(size_t position, uint32_t v) {
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    if (position >= m_handedOn) {
      std::memcpy(bytes.data() + (position - m_handedOn), b, 4);
    } else if (m_ok) {
      m_ok = m_out.WriteAt(compoundfile::kHeaderBytes + position, std::string_view(b, 4));
    }
  }

 private:
  static constexpr size_t kHandOnBytes = size_t{1} << 20;
  fileaccess::FileBytesOut& m_out;
  size_t m_handedOn = 0;
  bool m_ok = true;
};

class SstWriter {
 public:
  explicit SstWriter(StreamBuffer& out) : m_out(out) {}

  void Begin(uint32_t uses, uint32_t unique) {
    Add32(m_data, uses);
    Add32(m_data, unique);
  }
  void AddString(const std::u16string& s) {
    const bool wide = !FitsInOneByte(s);
    const size_t unit = wide ? 2 : 1;
    if (Room() < 3 + unit) Flush();
    Add16(m_data, static_cast<uint16_t>(s.size()));
    m_data += static_cast<char>(wide ? 1 : 0);
    size_t done = 0;
    while (done < s.size()) {
      if (Room() < unit) {
        Flush();
        m_data += static_cast<char>(wide ? 1 : 0);
      }
      const size_t n = std::min(s.size() - done, Room() / unit);
      AddChars(m_data, s, done, n, wide);
      done += n;
    }
  }
  void End() { Flush(); }

 private:
  size_t Room() const { return kMaxRecordData - m_data.size(); }
  void Flush() {
    Record(m_out.bytes, m_bFirst ? kSst : kContinue, m_data);
    m_out.Step();
    m_bFirst = false;
    m_data.clear();
  }

  StreamBuffer& m_out;
  std::string m_data;
  bool m_bFirst = true;
};

}  // namespace

// ---------------------------------------------------------------------------

void Worksheet::SetName(std::string utf8) {
  const std::u16string name = Utf16(utf8);
  if (name.empty() || name.size() > 31 || name.find_first_of(u"[]:*?/\\") != std::u16string::npos) {
    throw ExportError("not a sheet name");
  }
  m_name = std::move(utf8);
}

void Worksheet::CheckPlace(int row, int column) const {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
    throw ExportError("cell outside the sheet");
  }
}

void Worksheet::PutShared(int row, int column, std::string_view text, bool utf8) {
  CheckPlace(row, column);
  // A GBK character takes one or two bytes, a UTF-8 one up to four, and a
  // UTF-16 unit at least one.
  if (text.size() > kMaxCellChars &&
      Utf16(utf8 ? std::string(text) : gbk::ToUtf8(text)).size() > kMaxCellChars) {
    throw ExportError("cell text too long");
  }
  m_cells.push_back({static_cast<uint16_t>(row - 1), static_cast<uint16_t>(column - 1),
                     text.empty() ? kEmpty : m_book.Share(text, utf8)});
}

void Worksheet::PutCell(int row, int column, std::string_view gbk) { PutShared(row, column, gbk, false); }

void Worksheet::PutText(int row, int column, std::string_view utf8) { PutShared(row, column, utf8, true); }

void Worksheet::PutNumber(int row, int column, double value) {
  CheckPlace(row, column);
  if (!std::isfinite(value)) throw ExportError("not a number");
  m_cells.push_back({static_cast<uint16_t>(row - 1), static_cast<uint16_t>(column - 1),
                     static_cast<uint32_t>(m_numbers.size()), true});
  m_numbers.push_back(value);
}

void Worksheet::SetColumnWidth(double characters) {
  if (!(characters >= 0 && characters <= 255)) throw ExportError("column width out of range");
  m_width = characters;
}

// ---------------------------------------------------------------------------

Workbook::Workbook() { AddSheet(0); }

Worksheet& Workbook::AddSheet(int before) {
  if (before < 0 || before > SheetCount()) throw ExportError("no such sheet");
  auto sheet = std::unique_ptr<Worksheet>(
      new Worksheet(*this, "Sheet" + std::to_string(m_nNextSheetNumber++)));
  const auto at = before == 0 ? m_sheets.end() : m_sheets.begin() + (before - 1);
  return **m_sheets.insert(at, std::move(sheet));
}

Worksheet& Workbook::Sheet(int index) {
  if (index < 1 || index > SheetCount()) throw ExportError("no such sheet");
  return *m_sheets[static_cast<size_t>(index - 1)];
}

void Workbook::DeleteSheet(int index) {
  if (index < 1 || index > SheetCount() || SheetCount() == 1) throw ExportError("cannot delete sheet");
  m_sheets.erase(m_sheets.begin() + (index - 1));
}

namespace {

size_t StringHash(char kind, std::string_view text) {
  return std::hash<std::string_view>{}(text) ^ (kind == 'u' ? 0x9E3779B97F4A7C15u : 0);
}

}  // namespace

void Workbook::ReserveText(size_t bytes, size_t strings) {
  // Each string is kept behind its kind byte.
  m_stringBytes.reserve(m_stringBytes.size() + bytes + strings);
  m_stringEnds.reserve(m_stringEnds.size() + strings);
}

std::string_view Workbook::SharedString(uint32_t index) const {
  const size_t begin = index == 0 ? 0 : m_stringEnds[index - 1];
  return std::string_view(m_stringBytes).substr(begin, m_stringEnds[index] - begin);
}

void Workbook::GrowStringIndex() {
  std::vector<uint32_t> slots(std::max<size_t>(1024, 2 * m_stringSlots.size()), 0);
  const size_t mask = slots.size() - 1;
  for (uint32_t i = 0; i < m_stringEnds.size(); ++i) {
    const std::string_view s = SharedString(i);
    size_t at = StringHash(s.front(), s.substr(1)) & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = i + 1;
  }
  m_stringSlots = std::move(slots);
}

uint32_t Workbook::Share(std::string_view text, bool utf8) {
  ++m_nStringUses;
  if (2 * (m_stringEnds.size() + 1) > m_stringSlots.size()) GrowStringIndex();
  const char kind = utf8 ? 'u' : 'g';
  const size_t mask = m_stringSlots.size() - 1;
  for (size_t at = StringHash(kind, text) & mask;; at = (at + 1) & mask) {
    const uint32_t slot = m_stringSlots[at];
    if (slot == 0) {
      if (m_stringBytes.size() + 1 + text.size() > std::numeric_limits<uint32_t>::max()) {
        throw ExportError("too much text for one workbook");
      }
      m_stringBytes += kind;
      m_stringBytes += text;
      m_stringEnds.push_back(static_cast<uint32_t>(m_stringBytes.size()));
      m_stringSlots[at] = static_cast<uint32_t>(m_stringEnds.size());
      return static_cast<uint32_t>(m_stringEnds.size() - 1);
    }
    const std::string_view s = SharedString(slot - 1);
    if (s.front() == kind && s.substr(1) == text) return slot - 1;
  }
}

namespace {

// The file's bytes gathered in memory.
class StringBytesOut : public fileaccess::FileBytesOut {
 public:
  std::string bytes;
  bool Append(std::string_view b) override {
    bytes += b;
    return true;
  }
  bool WriteAt(uint64_t offset, std::string_view b) override {
    bytes.replace(static_cast<size_t>(offset), b.size(), b);
    return true;
  }
};

}  // namespace

std::string Workbook::Bytes() const {
  StringBytesOut out;
  Write(out);
  return std::move(out.bytes);
}

bool Workbook::Write(fileaccess::FileBytesOut& file) const {
  // Each sheet's cells in row, then column order, the last put to a cell
  // kept, empty ones left out. Cells put in that order already (as every
  // export puts them) are written from where they are, without a copy.
  std::vector<std::vector<Worksheet::Cell>> reordered(m_sheets.size());
  std::vector<const std::vector<Worksheet::Cell>*> cells;
  const auto before = [](const Worksheet::Cell& a, const Worksheet::Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  };
  const auto kept = [](const Worksheet::Cell& c) { return c.numeric || c.value != kEmpty; };
  uint32_t uses = 0;
  for (size_t n = 0; n < m_sheets.size(); ++n) {
    const std::vector<Worksheet::Cell>& put = m_sheets[n]->m_cells;
    const bool ordered =
        std::adjacent_find(put.begin(), put.end(), [&](const auto& a, const auto& b) { return !before(a, b); }) ==
        put.end();
    if (ordered) {
      cells.push_back(&put);
    } else {
      std::vector<Worksheet::Cell> c = put;
      std::stable_sort(c.begin(), c.end(), before);
      std::vector<Worksheet::Cell>& last = reordered[n];
      for (size_t i = 0; i < c.size(); ++i) {
        if (i + 1 == c.size() || before(c[i], c[i + 1])) last.push_back(c[i]);
      }
      cells.push_back(&last);
    }
    for (const auto& cell : *cells.back()) uses += kept(cell) && !cell.numeric ? 1 : 0;
  }

  // The document's header takes the room before the stream once the stream's
  // size is known; the stream goes to the file as it is made, a megabyte at
  // a time, and the directory and tables follow it.
  if (!file.Append(std::string(compoundfile::kHeaderBytes, '\0'))) return false;
  StreamBuffer stream(file);
  std::string& out = stream.bytes;

  // Globals.
  Record(out, kBof, Bof(0x0005));
  {
    std::string d;
    Add16(d, 1200);  // strings are UTF-16
    Record(out, kCodePage, d);
  }
  {
    std::string d;
    Add16(d, 0);
    Add16(d, 0);
    Add16(d, 0x4000);
    Add16(d, 0x2000);
    Add16(d, 0x0038);  // horizontal and vertical scroll bars, sheet tabs
    Add16(d, 0);       // first sheet active
    Add16(d, 0);
    Add16(d, 1);       // one sheet selected
    Add16(d, 0x0258);
    Record(out, kWindow1, d);
  }
  for (int i = 0; i < 4; ++i) Record(out, kFont, Font());
  const uint8_t normal = AlignmentByte(HAlign::General, VAlign::Bottom);
  Record(out, kXf, Xf(true, normal, 0));
  for (int i = 1; i < 15; ++i) Record(out, kXf, Xf(true, normal, 0xF4));
  Record(out, kXf, Xf(false, normal, 0));
  // One format per sheet: its cells' alignment.
  for (const auto& sheet : m_sheets) {
    Record(out, kXf, Xf(false, AlignmentByte(sheet->m_hAlign, sheet->m_vAlign), 0x10));
  }
  Record(out, kStyle, std::string("\x00\x80\x00\xFF", 4));  // Normal, on the first format
  std::vector<size_t> sheetPositions;  // where each sheet's stream offset goes
  for (const auto& sheet : m_sheets) {
    std::string d;
    sheetPositions.push_back(stream.Position() + 4);
    Add32(d, 0);
    d += '\0';  // visible
    d += '\0';  // worksheet
    AddShortString(d, Utf16(sheet->m_name));
    Record(out, kBoundSheet, d);
  }
  {
    SstWriter sst(stream);
    sst.Begin(uses, static_cast<uint32_t>(m_stringEnds.size()));
    std::string utf8;
    for (uint32_t i = 0; i < m_stringEnds.size(); ++i) {
      const std::string_view s = SharedString(i);
      utf8.clear();
      if (s.front() == 'u') {
        utf8 += s.substr(1);
      } else {
        gbk::AppendUtf8(utf8, s.substr(1));
      }
      sst.AddString(Utf16(utf8));
    }
    sst.End();
  }
  Record(out, kEof, {});

  // Sheets.
  for (size_t n = 0; n < m_sheets.size(); ++n) {
    const Worksheet& sheet = *m_sheets[n];
    const auto& c = *cells[n];
    const uint16_t xf = static_cast<uint16_t>(kFirstSheetXf + n);
    stream.Patch32(sheetPositions[n], static_cast<uint32_t>(stream.Position()));
    Record(out, kBof, Bof(0x0010));
    {
      std::string d;
      Add16(d, 8);
      Record(out, kDefColWidth, d);
    }
    {
      std::string d;
      Add16(d, 0);
      Add16(d, kMaxColumns - 1);
      Add16(d, static_cast<uint16_t>(std::lround(sheet.m_width * 256)));
      Add16(d, xf);
      Add16(d, 0);
      Add16(d, 0);
      Record(out, kColInfo, d);
    }
    {
      uint16_t lastColumn = 0;
      const Worksheet::Cell* lastCell = nullptr;
      for (const auto& cell : c) {
        if (!kept(cell)) continue;
        lastColumn = std::max(lastColumn, cell.column);
        lastCell = &cell;
      }
      std::string d;
      Add32(d, 0);
      Add32(d, lastCell ? uint32_t{lastCell->row} + 1 : 0);
      Add16(d, 0);
      Add16(d, lastCell ? static_cast<uint16_t>(lastColumn + 1) : 0);
      Add16(d, 0);
      Record(out, kDimensions, d);
    }
    for (const auto& cell : c) {
      if (!kept(cell)) continue;
      if (cell.numeric) {
        Add16(out, kNumber);
        Add16(out, 14);
        Add16(out, cell.row);
        Add16(out, cell.column);
        Add16(out, xf);
        uint64_t bits = 0;
        std::memcpy(&bits, &sheet.m_numbers[cell.value], sizeof bits);
        for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
        stream.Step();
        continue;
      }
      Add16(out, kLabelSst);
      Add16(out, 10);
      Add16(out, cell.row);
      Add16(out, cell.column);
      Add16(out, xf);
      Add32(out, cell.value);
      stream.Step();
    }
    {
      std::string d;
      Add16(d, n == 0 ? 0x06B6 : 0x00B6);  // grid, headings, zeros; the first sheet selected
      Add16(d, 0);
      Add16(d, 0);
      Add32(d, 64);  // automatic grid colour
      Add16(d, 0);
      Add16(d, 0);
      Add32(d, 0);
      Record(out, kWindow2, d);
    }
    Record(out, kEof, {});
  }
  // Short streams would belong in a mini stream: pad after the last record.
  if (stream.Position() < compoundfile::kMinStreamBytes) {
    out.append(compoundfile::kMinStreamBytes - stream.Position(), '\0');
  }
  const size_t streamBytes = stream.Position();
  stream.HandOn();
  return stream.Ok() && file.Append(compoundfile::Tail("Workbook", streamBytes)) &&
         file.WriteAt(0, compoundfile::Header(streamBytes));
}

std::string Workbook::SaveAs(const std::string& path) const {
  return fileaccess::WriteFileReplacing(
      path, [this](fileaccess::FileBytesOut& out) { return Write(out); }, std::numeric_limits<size_t>::max());
}

}  // namespace xls
