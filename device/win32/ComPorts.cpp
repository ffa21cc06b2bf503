#include "device/win32/ComPorts.h"

#include "device/win32/SystemError.h"
#include "common/Utf16.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cwctype>

namespace winports {

namespace {
constexpr int kScanPorts = 20;
constexpr size_t kMaxCandidates = 18;
}  // namespace

std::string ResolvePortName(const std::string& name) {
  const int number = ports::ComNumber(name);
  if (number < 0) return name;
  return "\\\\.\\COM" + std::to_string(number);
}

namespace {

// Object names take no backslash after the namespace: "\\.\COM5" is
// claimed as "Local\km360r-port-__._COM5".
std::wstring ClaimName(const std::string& devicePath) {
  std::wstring name = L"Local\\km360r-port-";
  for (wchar_t c : utf16::FromUtf8(devicePath)) {
    name += (c == L'\\' || c == L'/' || c == L':') ? L'_' : static_cast<wchar_t>(towupper(c));
  }
  return name;
}

}  // namespace

ClaimedPort OpenClaimed(const std::string& devicePath, int& openError) {
  ClaimedPort result;
  if (devicePath.empty()) {
    openError = ENOENT;
    return result;
  }
  HANDLE claim = CreateMutexW(nullptr, FALSE, ClaimName(devicePath).c_str());
  if (!claim) {
    openError = OpenErrnoFor(GetLastError());
    return result;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(claim);
    openError = EBUSY;
    return result;
  }
  const std::wstring path = utf16::FromUtf8(devicePath);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* not shared */, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    openError = OpenErrnoFor(GetLastError());
    CloseHandle(claim);
    return result;
  }
  // A plain file given as the port must not be taken for one: the channel
  // would read it as replies and write its commands into it. Nor is every
  // character device a line: NUL or a console opens and reads like one, but
  // has no line settings.
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  openError = GetFileType(h) != FILE_TYPE_CHAR ? ENODEV : !GetCommState(h, &dcb) ? ENOTTY : 0;
  if (openError != 0) {
    CloseHandle(h);
    CloseHandle(claim);
    return result;
  }
  result.port = h;
  result.claim = claim;
  return result;
}

void CloseClaimed(ClaimedPort& port) {
  if (port.port) CloseHandle(static_cast<HANDLE>(port.port));
  if (port.claim) CloseHandle(static_cast<HANDLE>(port.claim));
  port = ClaimedPort{};
}

std::vector<ports::PortCandidate> ScanCandidates() {
  std::vector<ports::PortCandidate> candidates;
  for (int n = 0; n < kScanPorts && candidates.size() < kMaxCandidates; ++n) {
    // The board ports are never probed: a modem or console may sit there.
    if (n == 1 || n == 2) continue;
    char name[16];
    std::snprintf(name, sizeof name, n <= 9 ? "COM%d" : "\\\\.\\COM%d", n);
    const std::string path = ResolvePortName(name);
    int error = 0;
    ClaimedPort port = OpenClaimed(path, error);
    if (!port) continue;
    CloseClaimed(port);
    candidates.push_back({name, path});
  }
  return candidates;
}

}  // namespace winports
