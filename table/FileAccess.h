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

// Why `path` cannot take a written file: empty when it names a regular file
// or nothing yet, else the reason ("Is a directory", "not a regular file").
// Checked before anything is written, so a named pipe or a device is refused
// at once instead of holding the program or swallowing the file.
std::string RefusedTarget(const std::string& path);

// Whether two paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

// The stop signals (SIGINT, SIGTERM, SIGHUP) end the program as they would
// by default, but first remove the new file a save is writing at that
// moment, so that no hidden partial file stays beside the target. For
// programs that let these signals end them.
void RemoveTemporaryFileOnStopSignals();

}  // namespace fileaccess
