#pragma once
// Reading and writing the program's files safely: opening only reads (a
// read-only file opens, a missing one is not created), and saving writes a
// new file beside the target and renames it over the target, so a failed save
// leaves the earlier file whole and a shorter file leaves no stale tail.
// File names are UTF-8. The system's side is in common/posix/ and
// common/win32/: on Windows the names go to the wide-character calls, so
// Chinese names work, and the rename is ReplaceFileW or MoveFileExW.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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

// Where a writer puts a file's bytes as it makes them: appended in order,
// and an earlier place written again (a size or an offset known only
// later). False when the system refused the write, or when the file would
// grow beyond its limit.
class FileBytesOut {
 public:
  virtual ~FileBytesOut() = default;
  virtual bool Append(std::string_view bytes) = 0;
  virtual bool WriteAt(uint64_t offset, std::string_view bytes) = 0;
};

// The same replacing save for a file written piece by piece, so that a large
// file never needs to be whole in memory: `write` hands the file's bytes to
// its out and returns false once a write failed. Nothing is left beside the
// target when it fails or throws (the exception goes on to the caller).
std::string WriteFileReplacing(const std::string& path, const std::function<bool(FileBytesOut&)>& write,
                               size_t maxBytes = kMaxDataFileBytes);

bool Exists(const std::string& path);

// Why `path` cannot take a written file: empty when it names a regular file
// or nothing yet, else the reason ("Is a directory", "not a regular file").
// Checked before anything is written, so a named pipe or a device is refused
// at once instead of holding the program or swallowing the file.
std::string RefusedTarget(const std::string& path);

// Whether two paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

// Whether the user may make files in the folder that holds `path` (the
// results store's journal beside it, for one). Windows keeps no such right on
// a folder that a program could ask cheaply: true there.
bool FolderTakesNewFiles(const std::string& path);

// A write beyond the user's file size limit (ulimit -f) fails with an error
// the program reports, instead of the signal that would end it with a partial
// file left behind. Front ends call this at start; on Windows there is no
// such signal and it does nothing.
void WritesFailAtFileSizeLimit();

// The stop signals (SIGINT, SIGTERM, SIGHUP) end the program as they would
// by default, but first remove the new file a save is writing at that
// moment, so that no hidden partial file stays beside the target. For
// programs that let these signals end them.
void RemoveTemporaryFileOnStopSignals();

// A file that grows by whole lines (the live log): written on one thread and
// flushed to the disk on another.
class AppendFile {
 public:
  // Opens `path` for appending, creating it; nullptr with `reason` set when
  // it cannot be opened or is no regular file.
  static std::unique_ptr<AppendFile> Open(const std::string& path, std::string& reason);
  virtual ~AppendFile() = default;

  virtual uint64_t Size() = 0;
  // Up to `n` bytes from `offset`; fewer when the file ends or cannot be read.
  virtual std::string ReadAt(uint64_t offset, size_t n) = 0;
  // Writes all of `bytes` at the end in one write, so that a crash leaves
  // whole lines. False with `reason` set when it fails; what a full disk took
  // of the bytes is cut off again, so the next line does not continue it.
  virtual bool Append(std::string_view bytes, std::string& reason) = 0;
  // Flushes what was written to the disk; false with `reason` set when it
  // fails. Any thread may call it while another appends.
  virtual bool Flush(std::string& reason) = 0;
  // Whether `path` still names this file (not deleted, not moved away).
  virtual bool IsAt(const std::string& path) = 0;
};

}  // namespace fileaccess
