#pragma once
// Reading and writing the table page's data files safely: opening only reads
// (a read-only file opens, a missing one is not created), and saving writes a
// new file beside the target and renames it over the target, so a failed save
// leaves the earlier file whole and a shorter file leaves no stale tail.
#include <cstddef>
#include <string>
#include <string_view>

namespace fileaccess {

// Files larger than this are refused rather than read, and saving refuses to
// write one, so that whatever is saved opens again. The loaders' positions
// are int: the limit must stay below 2 GiB.
inline constexpr size_t kMaxDataFileBytes = size_t{1} << 30;

enum class ReadError { None, CannotOpen, TooLarge };

struct ReadResult {
  ReadError error = ReadError::None;
  std::string bytes;
  std::string reason;  // the system's text for a CannotOpen
  int errorNumber = 0;  // and its number
};

// The system's text for an error number, in Chinese where `chinese` and the
// error is one that opening or writing a file meets; otherwise as the C
// library words it.
std::string SystemReason(int err, bool chinese);

// The whole file, or why not. Takes memory for the file's size once.
ReadResult ReadWholeFile(const std::string& path, size_t maxBytes = kMaxDataFileBytes);

// Writes `bytes` as the file at `path`, replacing it as one step. An existing
// file keeps its permission bits; one that the user may not write is refused.
// A symbolic link stays a link: the file at the end of its chain is written
// (and created, when the link points to nothing yet). More than maxBytes are
// refused. Returns an empty text on success, else the reason.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes,
                               size_t maxBytes = kMaxDataFileBytes);

bool Exists(const std::string& path);

}  // namespace fileaccess
