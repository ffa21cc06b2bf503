#pragma once
// A compound document (the container of Excel 97-2003 workbooks) holding one
// stream: 512-byte sectors, the sector allocation table and, past 109 table
// sectors, its extension sectors. Streams shorter than 4096 bytes belong in a
// mini stream that this writer does not make; the caller pads them (a
// workbook reader stops at its last end-of-file record).
#include <string>
#include <string_view>

namespace compoundfile {

inline constexpr size_t kMinStreamBytes = 4096;
// The header's sector, which comes before the stream.
inline constexpr size_t kHeaderBytes = 512;

// The whole document with `stream` under `name` (ASCII, under 32 characters)
// below the root entry. `stream` must hold at least kMinStreamBytes.
std::string Build(std::string_view name, std::string_view stream);

// The same document in pieces, for a writer that puts a stream of many
// megabytes straight into its file: kHeaderBytes of room first, then the
// stream, then Tail(); the header goes into the room once the stream's size
// is known. Neither needs the stream's bytes.
std::string Header(size_t streamBytes);
// What follows the stream: the rest of its last sector, the directory and
// the allocation tables.
std::string Tail(std::string_view name, size_t streamBytes);

}  // namespace compoundfile
