#include "device/posix/DevicePorts.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "device/posix/PortClaim.h"

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace ports {

namespace {

constexpr int kScanPorts = 20;
constexpr size_t kMaxCandidates = 18;

// Device names "<prefix><number>" in /dev, in numeric order.
std::vector<std::string> NumberedDevices(std::string_view prefix) {
  std::vector<std::pair<long, std::string>> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
      continue;
    found.emplace_back(std::strtol(digits.c_str(), nullptr, 10), entry.path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  paths.reserve(found.size());
  for (auto& f : found) paths.push_back(std::move(f.second));
  return paths;
}

// Most /dev/ttyS* are placeholders without hardware behind them; only those
// the kernel reports a UART for are ports.
bool HasRealUart(const std::string& devicePath) {
#ifdef __linux__
  const int fd = OpenClaimed(devicePath);
  if (fd < 0) return false;
  serial_struct info{};
  const bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  CloseClaimed(fd);
  return real;
#else
  (void)devicePath;
  return false;
#endif
}

// The devices that stand behind COM3, COM4, ... in that order.
std::vector<std::string> AdapterDevices() {
  std::vector<std::string> devices = NumberedDevices("ttyUSB");
  for (auto& d : NumberedDevices("ttyACM")) devices.push_back(std::move(d));
  for (auto& d : NumberedDevices("ttyS")) {
    if (d == "/dev/ttyS0" || d == "/dev/ttyS1") continue;
    if (HasRealUart(d)) devices.push_back(std::move(d));
  }
  return devices;
}

// Resolution with the adapter list computed by the caller (once per scan).
std::string ResolveWith(int number, const std::vector<std::string>* adapters) {
  if (const char* dir = std::getenv("KM360R_PORT_DIR"); dir && *dir) {
    return std::string(dir) + "/COM" + std::to_string(number);
  }
  if (number == 1) return "/dev/ttyS0";
  if (number == 2) return "/dev/ttyS1";
  if (number < 3) return {};
  std::vector<std::string> computed;
  if (!adapters) {
    computed = AdapterDevices();
    adapters = &computed;
  }
  const size_t index = static_cast<size_t>(number - 3);
  return index < adapters->size() ? (*adapters)[index] : std::string();
}

}  // namespace

std::string ResolvePortName(const std::string& name) {
  const int number = ComNumber(name);
  if (number < 0) return name;
  return ResolveWith(number, nullptr);
}

bool CanOpenExclusively(const std::string& devicePath) {
  const int fd = OpenClaimed(devicePath);
  if (fd < 0) return false;
  CloseClaimed(fd);
  return true;
}

std::vector<PortCandidate> ScanCandidates() {
  const bool portDir = std::getenv("KM360R_PORT_DIR") && *std::getenv("KM360R_PORT_DIR");
  const std::vector<std::string> adapters = portDir ? std::vector<std::string>() : AdapterDevices();
  std::vector<PortCandidate> candidates;
  for (int n = 0; n < kScanPorts && candidates.size() < kMaxCandidates; ++n) {
    // The board ports are never probed: a modem or console may sit there.
    if (n == 1 || n == 2) continue;
    char name[16];
    std::snprintf(name, sizeof name, n <= 9 ? "COM%d" : "\\\\.\\COM%d", n);
    const std::string path = ResolveWith(n, &adapters);
    if (CanOpenExclusively(path)) candidates.push_back({name, path});
  }
  return candidates;
}

}  // namespace ports
