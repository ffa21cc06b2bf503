#include "common/FileAccess.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "common/StopSignals.h"
#include "common/TemporaryName.h"
#include "common/Utf16.h"

namespace fileaccess {

namespace {

// The C library's number for a system error, so that the reasons read as on
// Linux ("No such file or directory", "Permission denied").
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY: return EINVAL;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    default: return EIO;
  }
}

std::string SystemText(int err) { return std::strerror(err); }
std::string LastErrorText() { return SystemText(ErrnoOf(GetLastError())); }

class Handle {
 public:
  explicit Handle(HANDLE h) : m_h(h) {}
  ~Handle() {
    if (Valid()) CloseHandle(m_h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
  HANDLE Get() const { return m_h; }
  // Closes now and reports a failure (a write error may only show here).
  bool Close() {
    const HANDLE h = m_h;
    m_h = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE m_h;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens for looking only: no access asked, so a file another program holds
// open still answers, and a folder opens too.
HANDLE OpenToLookAt(const std::wstring& path) {
  return CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), piece, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The new file a save is writing, for the stop handler: the console runs the
// handler on a thread of its own, so a mutex keeps it from finding the file
// made but not yet noted. A program saves one file at a time.
std::mutex g_temporaryMutex;
std::wstring g_temporaryPath;

void RemoveTemporary() {
  std::lock_guard lock(g_temporaryMutex);
  // The file was made with FILE_SHARE_DELETE: it goes once its handle closes,
  // which the ending of the process does.
  if (!g_temporaryPath.empty()) DeleteFileW(g_temporaryPath.c_str());
}

}  // namespace

void RemoveTemporaryFileOnStopSignals() { stopsignals::EndAfter(RemoveTemporary); }

void WritesFailAtFileSizeLimit() {}

bool FolderTakesNewFiles(const std::string&) { return true; }

std::string RefusedTarget(const std::string& path) {
  const std::wstring wide = utf16::FromUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // A device name (NUL, COM1) has no attributes but opens.
    Handle h(OpenToLookAt(wide));
    if (!h.Valid() || GetFileType(h.Get()) == FILE_TYPE_DISK) return {};
    return "not a regular file";
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return SystemText(EISDIR);
  Handle h(OpenToLookAt(wide));
  if (h.Valid() && GetFileType(h.Get()) != FILE_TYPE_DISK) return "not a regular file";
  return {};
}

bool SameFile(const std::string& a, const std::string& b) {
  Handle ha(OpenToLookAt(utf16::FromUtf8(a)));
  Handle hb(OpenToLookAt(utf16::FromUtf8(b)));
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return ha.Valid() && hb.Valid() && GetFileInformationByHandle(ha.Get(), &ia) &&
         GetFileInformationByHandle(hb.Get(), &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(utf16::FromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ReadResult ReadWholeFile(const std::string& path, size_t maxBytes) {
  ReadResult result;
  auto failed = [&](int err) {
    result.error = ReadError::CannotOpen;
    result.errorNumber = err;
    result.reason = SystemText(err);
    result.bytes = std::string();
    return result;
  };
  const std::wstring wide = utf16::FromUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return failed(EISDIR);
  Handle h(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr));
  if (!h.Valid()) return failed(ErrnoOf(GetLastError()));
  if (GetFileType(h.Get()) != FILE_TYPE_DISK) return failed(EINVAL);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.Get(), &size)) return failed(ErrnoOf(GetLastError()));
  if (static_cast<uint64_t>(size.QuadPart) > maxBytes) {
    result.error = ReadError::TooLarge;
    return result;
  }
  // Read to the end, which may have moved since the size was taken.
  std::string bytes;
  bytes.reserve(static_cast<size_t>(size.QuadPart));
  char piece[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h.Get(), piece, sizeof piece, &got, nullptr)) return failed(ErrnoOf(GetLastError()));
    if (got == 0) break;
    if (bytes.size() + got > maxBytes) {
      result.error = ReadError::TooLarge;
      return result;
    }
    bytes.append(piece, got);
  }
  result.bytes = std::move(bytes);
  return result;
}

namespace {

// The new file of a replacing save, written at the offsets its writer asks;
// the first failure's error number is kept for the reason.
class HandleBytesOut : public FileBytesOut {
 public:
  HandleBytesOut(HANDLE h, size_t maxBytes) : m_h(h), m_maxBytes(maxBytes) {}

  bool Append(std::string_view bytes) override { return WriteAt(m_size, bytes); }

  bool WriteAt(uint64_t offset, std::string_view bytes) override {
    if (offset > m_maxBytes || bytes.size() > m_maxBytes - offset) return Failed(EFBIG);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(m_h, at, nullptr, FILE_BEGIN) || !WriteAll(m_h, bytes)) {
      return Failed(ErrnoOf(GetLastError()));
    }
    m_size = std::max<uint64_t>(m_size, offset + bytes.size());
    return true;
  }

  int Error() const { return m_error ? m_error : EIO; }

 private:
  bool Failed(int err) {
    if (!m_error) m_error = err;
    return false;
  }

  HANDLE m_h;
  size_t m_maxBytes;
  uint64_t m_size = 0;
  int m_error = 0;
};

}  // namespace

std::string WriteFileReplacing(const std::string& path, std::string_view bytes, size_t maxBytes) {
  if (bytes.size() > maxBytes) return SystemText(EFBIG);
  return WriteFileReplacing(path, [&](FileBytesOut& out) { return out.Append(bytes); }, maxBytes);
}

std::string WriteFileReplacing(const std::string& path, const std::function<bool(FileBytesOut&)>& write,
                               size_t maxBytes) {
  const std::wstring target = utf16::FromUtf8(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
  if (replacing) {
    if (const std::string refused = RefusedTarget(path); !refused.empty()) return refused;
    // A read-only file stays as it is, even where the folder would allow
    // replacing it.
    if (attributes & FILE_ATTRIBUTE_READONLY) return SystemText(EACCES);
  }
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::wstring temp;
  HANDLE raw = INVALID_HANDLE_VALUE;
  {
    std::lock_guard lock(g_temporaryMutex);
    for (int attempt = 0; attempt < 100 && raw == INVALID_HANDLE_VALUE; ++attempt) {
      temp = utf16::FromUtf8(folder + TemporaryName());
      raw = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
      if (raw == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return LastErrorText();
    }
    if (raw == INVALID_HANDLE_VALUE) return SystemText(EEXIST);
    g_temporaryPath = temp;
  }
  Handle file(raw);
  auto forget = [] {
    std::lock_guard lock(g_temporaryMutex);
    g_temporaryPath.clear();
  };
  auto fail = [&](int err) {
    if (file.Valid()) file.Close();
    DeleteFileW(temp.c_str());
    forget();
    return SystemText(err);
  };
  HandleBytesOut out(file.Get(), maxBytes);
  bool written = false;
  try {
    written = write(out);
  } catch (...) {
    fail(0);
    throw;
  }
  if (!written) return fail(out.Error());
  if (!FlushFileBuffers(file.Get())) return fail(ErrnoOf(GetLastError()));
  if (!file.Close()) return fail(ErrnoOf(GetLastError()));
  // ReplaceFileW keeps the replaced file's attributes and security; a new
  // name, or a file system where that cannot be done, takes the plain move.
  bool moved = replacing && ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                         nullptr, nullptr);
  if (!moved) moved = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!moved) return fail(ErrnoOf(GetLastError()));
  forget();
  return {};
}

namespace {

class Win32AppendFile : public AppendFile {
 public:
  explicit Win32AppendFile(HANDLE h) : m_h(h) {}
  ~Win32AppendFile() override { CloseHandle(m_h); }
  Win32AppendFile(const Win32AppendFile&) = delete;
  Win32AppendFile& operator=(const Win32AppendFile&) = delete;

  uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(m_h, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  }

  std::string ReadAt(uint64_t offset, size_t n) override {
    std::string bytes(n, '\0');
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(m_h, bytes.data(), static_cast<DWORD>(n), &got, &at)) got = 0;
    bytes.resize(got);
    return bytes;
  }

  bool Append(std::string_view bytes, std::string& reason) override {
    const uint64_t before = Size();
    if (WriteAll(m_h, bytes)) return true;
    reason = LastErrorText();
    // What a full disk took of the line is cut off again.
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(before);
    if (SetFilePointerEx(m_h, end, nullptr, FILE_BEGIN)) SetEndOfFile(m_h);
    return false;
  }

  bool Flush(std::string& reason) override {
    if (FlushFileBuffers(m_h)) return true;
    reason = LastErrorText();
    return false;
  }

  bool IsAt(const std::string& path) override {
    BY_HANDLE_FILE_INFORMATION open{}, named{};
    if (!GetFileInformationByHandle(m_h, &open)) return true;  // nothing to compare with
    Handle h(OpenToLookAt(utf16::FromUtf8(path)));
    if (!h.Valid() || !GetFileInformationByHandle(h.Get(), &named)) return false;
    return open.dwVolumeSerialNumber == named.dwVolumeSerialNumber && open.nFileIndexHigh == named.nFileIndexHigh &&
           open.nFileIndexLow == named.nFileIndexLow;
  }

 private:
  HANDLE m_h;
};

}  // namespace

std::unique_ptr<AppendFile> AppendFile::Open(const std::string& path, std::string& reason) {
  // FILE_APPEND_DATA alone: every write goes to the end, as O_APPEND does;
  // reading back the header needs GENERIC_READ too.
  HANDLE h = CreateFileW(utf16::FromUtf8(path).c_str(), FILE_APPEND_DATA | GENERIC_READ | SYNCHRONIZE, kShareAll,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return nullptr;
  }
  auto file = std::make_unique<Win32AppendFile>(h);
  if (GetFileType(h) != FILE_TYPE_DISK) {
    reason = "not a regular file";
    return nullptr;
  }
  return file;
}

}  // namespace fileaccess
