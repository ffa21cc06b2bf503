#pragma once
// A spreadsheet workbook built in the program, in the steps a spreadsheet
// program's automation takes (a workbook with one sheet, sheets added and
// deleted, a sheet named, cells put as text, the column width and the
// alignment of all cells set, saved), and saved as an Excel 97-2003 workbook
// (BIFF8 records in a compound document): every cell text in one shared
// string table, Chinese text as Unicode.
//
// Rows and columns count from 1, as the spreadsheet's Cells(row, column). A
// sheet has at most 65,536 rows and 256 columns and a cell at most 32,767
// characters; a put beyond them throws ExportError, as the spreadsheet
// program raises an error.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileAccess.h"

namespace xls {

inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr size_t kMaxCellChars = 32767;

// A file name that asks for a workbook: one ending in ".xls" (exactly so; any
// other name gets the CSV file). Table exports and job exports alike.
inline bool IsWorkbookName(std::string_view path) { return path.ends_with(".xls"); }

class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class HAlign { General, Left };
enum class VAlign { Bottom, Top };

class Workbook;

class Worksheet {
 public:
  const std::string& Name() const { return m_name; }
  void SetName(std::string utf8);
  // Cells(row, column) = text; the text is GBK and is kept as text.
  void PutCell(int row, int column, std::string_view gbk);
  // The same for a text that is UTF-8 already (names and labels typed by the
  // user, which need not fit GBK).
  void PutText(int row, int column, std::string_view utf8);
  // Cells(row, column) = value, kept as a number, so that the spreadsheet
  // can sum, average and chart it.
  void PutNumber(int row, int column, double value);
  // Room for `count` more cells at once: a writer that knows how many it
  // puts keeps the cells in their own size instead of a grown array's.
  void ReserveCells(size_t count) { m_cells.reserve(m_cells.size() + count); }
  // All cells: the width in characters, the alignments.
  void SetColumnWidth(double characters);
  void SetHorizontalAlignment(HAlign a) { m_hAlign = a; }
  void SetVerticalAlignment(VAlign a) { m_vAlign = a; }

  double ColumnWidth() const { return m_width; }
  HAlign HorizontalAlignment() const { return m_hAlign; }
  VAlign VerticalAlignment() const { return m_vAlign; }

 private:
  friend class Workbook;
  Worksheet(Workbook& book, std::string name) : m_book(book), m_name(std::move(name)) {}

  // Twelve bytes: a table export holds one per cell until the file is
  // written.
  struct Cell {
    uint16_t row;  // from 0
    uint16_t column;
    uint32_t value;  // index into the shared strings, or into m_numbers
    bool numeric = false;
  };
  void CheckPlace(int row, int column) const;
  void PutShared(int row, int column, std::string_view text, bool utf8);

  Workbook& m_book;
  std::string m_name;
  std::vector<Cell> m_cells;  // in the order put; a later put to a cell wins
  std::vector<double> m_numbers;
  double m_width = 8.43;
  HAlign m_hAlign = HAlign::General;
  VAlign m_vAlign = VAlign::Bottom;
};

class Workbook {
 public:
  // Workbooks.Add: a new workbook of one sheet, "Sheet1".
  Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  int SheetCount() const { return static_cast<int>(m_sheets.size()); }
  // Sheets.Add: a new sheet, named "SheetN", before the sheet at `before`
  // (from 1); 0 puts it after the last one.
  Worksheet& AddSheet(int before);
  // Sheets.Item(index), from 1.
  Worksheet& Sheet(int index);
  // Sheets.Item(index).Delete; the last sheet cannot be deleted.
  void DeleteSheet(int index);

  // Room for shared texts of up to `bytes` in all, `strings` of them at
  // most, for a writer that knows its cells: the texts' block is then never
  // copied to grow, and what is reserved and never written takes no memory.
  void ReserveText(size_t bytes, size_t strings);

  // The workbook file's bytes.
  std::string Bytes() const;
  // SaveAs: writes the file beside `path` and renames it there, so a failed
  // save leaves no partial file and an earlier file whole. Returns an empty
  // text, or the system's reason. The file is written as it is made: besides
  // the cells put, the save holds a megabyte or so of it at a time.
  std::string SaveAs(const std::string& path) const;
  // The file's bytes handed to `out` as they are made; false once a write
  // failed.
  bool Write(fileaccess::FileBytesOut& out) const;

 private:
  friend class Worksheet;
  uint32_t Share(std::string_view text, bool utf8);
  // The shared string `index`: its kind byte, then its text.
  std::string_view SharedString(uint32_t index) const;
  void GrowStringIndex();

  std::vector<std::unique_ptr<Worksheet>> m_sheets;
  int m_nNextSheetNumber = 1;
  // The shared strings in order of first use, back to back in one block, each
  // a kind byte and its text: 'g' for GBK, 'u' for UTF-8, so the two kinds
  // never share an entry by mistake. A table export puts hundreds of
  // thousands of short texts; a block and two arrays of numbers hold them in
  // little more than their own size.
  std::string m_stringBytes;
  std::vector<uint32_t> m_stringEnds;  // where each string ends in m_stringBytes
  // Open addressing over the strings: string index + 1, 0 for a free slot; a
  // power of two in size, at most half full.
  std::vector<uint32_t> m_stringSlots;
  uint32_t m_nStringUses = 0;
};

}  // namespace xls
