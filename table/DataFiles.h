#pragma once
// The three data file formats of the table page: .ref (real-time readings),
// .hif (history records) and .syf (system parameters). GBK text, CR LF line
// ends, no header, one NUL byte after the content; the labels are Chinese in
// every language, so files do not depend on the language setting. Files
// written by earlier versions must keep opening unchanged.
#include <string>
#include <string_view>
#include <vector>

#include "common/DataKind.h"
#include "table/TableModel.h"

namespace datafile {

enum class FileType { None, Ref, Hif, Syf };

// ".ref", ".hif", ".syf" (empty for None).
std::string_view Extension(FileType type);

// The save dialog's filter for a type, e.g. " (*.ref)|*.ref|".
std::string_view SaveFilter(FileType type);
// The open dialog's filter.
inline constexpr std::string_view kOpenFilter = "(*.ref)|*.ref|(*.hif)|*.hif|(*.syf)|*.syf|";

// The file type that saving offers for the shown data kind (real-time .ref,
// history .hif, parameters .syf; None for any other kind).
FileType TypeForDataKind(DataKind kind);

// How many power values of an opened real-time file the graph can take.
inline constexpr int kMaxGraphValues = 1000;

// The type an opened file is read as: its path's last four bytes compared
// case-sensitively; None for anything else (".REF" included).
FileType TypeOfPath(std::string_view path);

// The path a save writes to: unchanged when the type's extension occurs
// anywhere in it (case-sensitively, "a.ref.txt" included), else with the
// extension appended.
std::string PathWithExtension(std::string_view path, FileType type);

// The whole file for the table's rows from the top, including the closing
// NUL byte. .ref writes each cell without its trailing white space; .hif and
// .syf write the cells as the table holds them. Takes memory for the file's
// exact size, once.
std::string Compose(const TableModel& table, FileType type);

// The content of a file: the bytes before its first NUL byte.
std::string_view ContentOf(std::string_view fileBytes);

// Reads the records of `content` into rows of `table`, inserted at
// firstRow, firstRow + 1, ... (the table's columns must already be laid
// out). Returns the number of rows added. When graphValues is given, the log
// power's leading integer of each of the first kMaxGraphValues rows is
// appended to it. A record whose end label is missing
// ("dBm" for .ref and .hif, "量程7校准值" for .syf) gives one row from the
// whole rest of the content, and reading ends with it. Reading also ends
// before a row that would bring the rows' memory beyond twice the content's
// size (never below 1 MiB), which only a damaged file reaches. Time and
// memory grow linearly with the content, whatever it holds.
int LoadRecords(FileType type, std::string_view content, TableModel& table, int firstRow,
                std::vector<int>* graphValues = nullptr);

}  // namespace datafile
