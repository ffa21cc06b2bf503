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

// The same document made around a stream that a writer put behind
// kHeaderBytes of room in `document`: the header goes into the room and the
// tables after the stream, so a stream of many megabytes is never copied.
void Complete(std::string_view name, std::string& document);

// The size of the document around a stream of `streamBytes`, for a writer
// that reserves it before it writes.
size_t DocumentBytes(size_t streamBytes);

}  // namespace compoundfile
