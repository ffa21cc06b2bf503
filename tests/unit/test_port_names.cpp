#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "PortDir.h"
#include "device/posix/DevicePorts.h"
#include "device/posix/PortClaim.h"
#include "device/posix/PseudoTerminal.h"

using ports::ComNumber;
using ports::ResolvePortName;
using ports::ScanCandidates;

TEST(PortNames, ComNamesInBothSpellingsResolveIntoThePortDirectory) {
  ScopedPortDir dir;
  EXPECT_EQ(ResolvePortName("COM3"), dir.Entry("COM3"));
  EXPECT_EQ(ResolvePortName("\\\\.\\COM12"), dir.Entry("COM12"));
  EXPECT_EQ(ResolvePortName("com4"), dir.Entry("COM4"));
  // A device path is used as it is (--port PATH).
  EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(ComNumber("COM"), -1);
  EXPECT_EQ(ComNumber("COM3x"), -1);
  EXPECT_EQ(ComNumber("\\\\.\\COM19"), 19);
  EXPECT_EQ(ComNumber("COM0"), 0);
}

TEST(PortNames, WithoutPortDirectoryTheBoardPortsAreTtyS0AndTtyS1) {
  ::unsetenv("KM360R_PORT_DIR");
  EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
  EXPECT_EQ(ResolvePortName("COM2"), "/dev/ttyS1");
  EXPECT_EQ(ResolvePortName("COM0"), "");
  // Whatever adapters this machine has, COM3 onward are never the board ports.
  EXPECT_NE(ResolvePortName("COM3"), "/dev/ttyS0");
  EXPECT_NE(ResolvePortName("COM3"), "/dev/ttyS1");
}

TEST(PortNames, ScanListsOpenablePortsInOrderButNeverCom1OrCom2) {
  ScopedPortDir dir;
  std::vector<std::unique_ptr<PseudoTerminal>> lines;
  for (int n = 0; n < 20; ++n) {
    auto line = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(line->Open());
    dir.Link("COM" + std::to_string(n), line->SlavePath());
    lines.push_back(std::move(line));
  }
  auto candidates = ScanCandidates();
  ASSERT_EQ(candidates.size(), 18u);
  EXPECT_EQ(candidates[0].name, "COM0");
  EXPECT_EQ(candidates[1].name, "COM3");
  EXPECT_EQ(candidates[7].name, "COM9");
  EXPECT_EQ(candidates[8].name, "\\\\.\\COM10");
  EXPECT_EQ(candidates[8].devicePath, dir.Entry("COM10"));
  EXPECT_EQ(candidates[17].name, "\\\\.\\COM19");
  for (const auto& c : candidates) {
    EXPECT_NE(c.name, "COM1");
    EXPECT_NE(c.name, "COM2");
  }

  // A port held by someone else, a dangling entry and a missing one are no candidates.
  const int held = ports::OpenClaimed(dir.Entry("COM3"));
  ASSERT_GE(held, 0);
  EXPECT_FALSE(ports::CanOpenExclusively(dir.Entry("COM3")));
  // COM4's entry dangles. (Not by closing its line: another program may be
  // given a closed pseudo-terminal's number at once.)
  std::filesystem::remove(dir.Entry("COM4"));
  dir.Link("COM4", "/dev/pts/no-such-line");
  std::filesystem::remove(dir.Entry("COM5"));
  candidates = ScanCandidates();
  ports::CloseClaimed(held);
  ASSERT_EQ(candidates.size(), 15u);
  EXPECT_EQ(candidates[0].name, "COM0");
  EXPECT_EQ(candidates[1].name, "COM6");

  // Releasing the claim makes the port a candidate again.
  candidates = ScanCandidates();
  ASSERT_EQ(candidates.size(), 16u);
  EXPECT_EQ(candidates[1].name, "COM3");
}

TEST(PortNames, CharacterDevicesThatAreNoTerminalAreNoCandidates) {
  ScopedPortDir dir;
  dir.Link("COM0", "/dev/null");
  dir.Link("COM3", "/dev/zero");
  dir.Link("COM4", "/dev/urandom");
  PseudoTerminal line;
  ASSERT_TRUE(line.Open());
  dir.Link("COM5", line.SlavePath());
  const auto candidates = ScanCandidates();
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].name, "COM5");
  EXPECT_EQ(ports::OpenClaimed("/dev/urandom"), -1);
  EXPECT_EQ(errno, ENOTTY);
}
