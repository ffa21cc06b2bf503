#include "app/StartupChecks.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <string_view>

#include "common/Gbk.h"

#ifdef __unix__
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace startup {

namespace {

#ifdef __unix__
bool Set(const char* value) { return value != nullptr && *value != '\0'; }

// Connecting to a display server's local socket is harmless: the server only
// talks once the client speaks first, and the socket is closed at once.
bool UnixSocketAccepts(const std::string& path, bool abstractName) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const size_t offset = abstractName ? 1 : 0;
  if (path.size() + offset >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + offset, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const socklen_t len =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstractName ? 0 : 1));
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0;
  close(fd);
  return ok;
}

bool X11Usable(const EnvLookup& env) {
  const char* display = env("DISPLAY");
  if (!Set(display)) return false;
  std::string_view d(display);
  const size_t colon = d.rfind(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view host = d.substr(0, colon);
  if (!host.empty() && host != "unix") {
    // A display on another machine: only the toolkit itself can tell.
    return true;
  }
  std::string_view number = d.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty()) return false;
  const std::string socketPath = "/tmp/.X11-unix/X" + std::string(number);
  return UnixSocketAccepts(socketPath, false) || UnixSocketAccepts(socketPath, true);
}

bool WaylandUsable(const EnvLookup& env) {
  const char* name = env("WAYLAND_DISPLAY");
  std::string socketName = Set(name) ? name : "";
  if (socketName.empty()) return false;
  if (socketName.front() == '/') return UnixSocketAccepts(socketName, false);
  const char* runtimeDir = env("XDG_RUNTIME_DIR");
  if (!Set(runtimeDir)) return false;
  return UnixSocketAccepts(std::string(runtimeDir) + "/" + socketName, false);
}
#endif

}  // namespace

bool DisplayPlatformUsable(const EnvLookup& env) {
#ifdef __unix__
  const char* chosen = env("QT_QPA_PLATFORM");
  if (Set(chosen)) {
    // The toolkit takes the first platform of a ";"-separated list that loads.
    std::string_view list(chosen);
    size_t start = 0;
    while (start <= list.size()) {
      const size_t end = std::min(list.find(';', start), list.size());
      std::string_view name = list.substr(start, end - start);
      name = name.substr(0, name.find(':'));  // platform options follow a colon
      if (name == "xcb") {
        if (X11Usable(env)) return true;
      } else if (name.substr(0, 7) == "wayland") {
        if (WaylandUsable(env)) return true;
      } else if (!name.empty()) {
        return true;  // offscreen, minimal, vnc, eglfs, linuxfb: no server needed
      }
      start = end + 1;
    }
    return false;
  }
  return WaylandUsable(env) || X11Usable(env);
#else
  (void)env;
  return true;  // the desktop is always there
#endif
}

bool GbkCodecUsable() {
  try {
    return gbk::ToUtf8("\xB2\xA8\xB3\xA4") == "波长";
  } catch (const std::exception&) {
    return false;
  }
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine result;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--port") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        result.error = "--port needs a device path";
        return result;
      }
      result.portOverride = args[++i];
    } else if (a.rfind("--port=", 0) == 0) {
      if (a.size() == 7) {
        result.error = "--port needs a device path";
        return result;
      }
      result.portOverride = a.substr(7);
    }
  }
  return result;
}

}  // namespace startup
