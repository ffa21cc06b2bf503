// What must hold before the first window, and the command line.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/KeyLockLeds.h"
#include "app/StartupChecks.h"

namespace fs = std::filesystem;

namespace {

startup::EnvLookup Env(std::map<std::string, std::string> vars) {
  auto shared = std::make_shared<std::map<std::string, std::string>>(std::move(vars));
  return [shared](const char* name) -> const char* {
    const auto it = shared->find(name);
    return it == shared->end() ? nullptr : it->second.c_str();
  };
}

// A listening Unix socket standing in for a display server.
class ListeningSocket {
 public:
  explicit ListeningSocket(const std::string& path) : m_path(path) {
    m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    ::unlink(path.c_str());
    EXPECT_EQ(bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(listen(m_fd, 4), 0);
  }
  ~ListeningSocket() {
    close(m_fd);
    ::unlink(m_path.c_str());
  }

 private:
  std::string m_path;
  int m_fd = -1;
};

fs::path TempDir(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / (name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace

TEST(StartupChecks, NoDisplayAtAllIsNotUsable) {
  EXPECT_FALSE(startup::DisplayPlatformUsable(Env({})));
  EXPECT_FALSE(startup::DisplayPlatformUsable(Env({{"DISPLAY", ""}})));
}

TEST(StartupChecks, PlatformsWithoutServerAreUsableWhenChosen) {
  EXPECT_TRUE(startup::DisplayPlatformUsable(Env({{"QT_QPA_PLATFORM", "offscreen"}})));
  EXPECT_TRUE(startup::DisplayPlatformUsable(Env({{"QT_QPA_PLATFORM", "vnc:size=800x600"}})));
}

TEST(StartupChecks, X11DisplayMustAcceptAConnection) {
  // A display number nobody serves.
  EXPECT_FALSE(startup::DisplayPlatformUsable(Env({{"DISPLAY", ":4711"}})));
  EXPECT_FALSE(startup::DisplayPlatformUsable(Env({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":4711.0"}})));
  // A chosen xcb without a server falls through a list to a platform that needs none.
  EXPECT_TRUE(startup::DisplayPlatformUsable(
      Env({{"QT_QPA_PLATFORM", "xcb;offscreen"}, {"DISPLAY", ":4711"}})));
  EXPECT_FALSE(startup::DisplayPlatformUsable(Env({{"DISPLAY", "garbage"}})));
}

TEST(StartupChecks, WaylandSocketInTheRuntimeDirectory) {
  const fs::path dir = TempDir("km360r-wl");
  EXPECT_FALSE(startup::DisplayPlatformUsable(
      Env({{"WAYLAND_DISPLAY", "wl-test"}, {"XDG_RUNTIME_DIR", dir.string()}})));
  {
    ListeningSocket server((dir / "wl-test").string());
    EXPECT_TRUE(startup::DisplayPlatformUsable(
        Env({{"WAYLAND_DISPLAY", "wl-test"}, {"XDG_RUNTIME_DIR", dir.string()}})));
    EXPECT_TRUE(startup::DisplayPlatformUsable(Env({{"WAYLAND_DISPLAY", (dir / "wl-test").string()}})));
  }
  fs::remove_all(dir);
}

TEST(StartupChecks, GbkCodecWorksHere) { EXPECT_TRUE(startup::GbkCodecUsable()); }

TEST(StartupChecks, CommandLinePortOverride) {
  EXPECT_FALSE(startup::ParseCommandLine({}).portOverride.has_value());
  EXPECT_EQ(startup::ParseCommandLine({"--port", "/dev/ttyUSB0"}).portOverride, "/dev/ttyUSB0");
  EXPECT_EQ(startup::ParseCommandLine({"--port=/dev/pts/3"}).portOverride, "/dev/pts/3");
  // The toolkit's own arguments are left alone.
  const auto withToolkit = startup::ParseCommandLine({"-style", "fusion", "--port", "/dev/x"});
  EXPECT_TRUE(withToolkit.error.empty());
  EXPECT_EQ(withToolkit.portOverride, "/dev/x");
  EXPECT_FALSE(startup::ParseCommandLine({"--port"}).error.empty());
  EXPECT_FALSE(startup::ParseCommandLine({"--port="}).error.empty());
  EXPECT_FALSE(startup::ParseCommandLine({"--port", ""}).error.empty());
}

TEST(KeyLockLeds, ReadsLampsOfAllKeyboards) {
  const fs::path dir = TempDir("km360r-leds");
  EXPECT_EQ(ReadKeyLockStates(dir.string()), KeyLockStates{});
  auto lamp = [&](const std::string& name, int brightness) {
    fs::create_directories(dir / name);
    std::ofstream(dir / name / "brightness") << brightness << "\n";
  };
  lamp("input3::capslock", 0);
  lamp("input3::numlock", 1);
  lamp("input7::capslock", 1);  // a second keyboard shows caps lock lit
  lamp("phy0-led", 1);          // not a keyboard lamp
  const KeyLockStates s = ReadKeyLockStates(dir.string());
  EXPECT_EQ(s.caps, true);
  EXPECT_EQ(s.num, true);
  EXPECT_FALSE(s.scroll.has_value());
  EXPECT_EQ(ReadKeyLockStates((dir / "missing").string()), KeyLockStates{});
  fs::remove_all(dir);
}
