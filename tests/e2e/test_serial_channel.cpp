// The serial channel on real pseudo-terminals: the simulated meter or a raw far
// end on one side, the channel and an EventLoop "UI thread" on the other.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "SerialTestSupport.h"
#include "device/posix/DevicePorts.h"

namespace e2e {

namespace {

class SerialChannelTest : public ::testing::Test {
 protected:
  bool RunUntil(const std::function<bool()>& done) { return loop.RunUntil(done, kGuardMs); }

  // Starts the monitor and waits until it serves the line: it purges the port
  // when it starts, so the far end talks only after a first command.
  void StartMonitor(ISerialPort& channel, RawPeer& peer) {
    ASSERT_TRUE(channel.StartMonitor());
    channel.Send("S\r");
    ASSERT_EQ(peer.Read(2), "S\r");
  }

  // Opens the channel on the peer's port and starts monitoring it.
  void Connect(ISerialPort& channel, RawPeer& peer) {
    ASSERT_TRUE(peer.Ok());
    ASSERT_TRUE(OpenMeterPort(channel, &owner, peer.Path()));
    StartMonitor(channel, peer);
  }

  EventLoop loop;
  LoopOwner owner{loop};
};

std::string AllByteValuesTwice() {
  std::string bytes;
  for (int round = 0; round < 2; ++round) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  }
  return bytes;
}

TEST_F(SerialChannelTest, EveryByteArrivesInOrderOnTheUiThread) {
  RawPeer peer;
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_NO_FATAL_FAILURE(Connect(channel, peer));
  EXPECT_TRUE(channel.IsThreadAlive());

  const std::string sent = AllByteValuesTwice();  // NUL first, and CR, LF, "$", "?" on the way
  peer.Write(sent);
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() >= sent.size(); }));
  loop.RunFor(20);
  EXPECT_EQ(owner.received, sent);
  EXPECT_EQ(owner.received[0], '\0');
  EXPECT_FALSE(owner.offUiThread);
  EXPECT_FALSE(owner.reentered);
  EXPECT_TRUE(owner.driverErrors.empty());
}

TEST_F(SerialChannelTest, TheLineIsRawNoTranslationAndNoEcho) {
  RawPeer peer;
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_NO_FATAL_FAILURE(Connect(channel, peer));

  peer.Write("A\rB\n\r\n");
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() >= 6; }));
  EXPECT_EQ(owner.received, "A\rB\n\r\n");

  // What the port writes arrives untouched, and nothing the meter sent came back.
  channel.Send("X\r\n\x7f\x03");
  EXPECT_EQ(peer.Read(5), "X\r\n\x7f\x03");
  channel.Send("?\r");
  EXPECT_EQ(peer.Read(2), "?\r");
}

TEST_F(SerialChannelTest, ACommandDiscardsTheAnswerStillWaitingAndOnlyTheLatestSendIsWritten) {
  RawPeer peer;
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_NO_FATAL_FAILURE(Connect(channel, peer));

  // While the UI thread handles "A" the monitor thread waits; meanwhile the
  // meter's old answer reaches the port, and two commands are handed over.
  owner.onByte = [&](unsigned char b) {
    if (b != 'A') return;
    peer.Write("OLD");
    ASSERT_TRUE(peer.WaitQueued(3));
    channel.Send("H\r");
    channel.Send("D\r");
  };
  peer.Write("A");
  ASSERT_TRUE(RunUntil([&] { return owner.received == "A"; }));
  EXPECT_EQ(peer.Read(2), "D\r");
  peer.Write("NEW$");
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() >= 5; }));
  EXPECT_EQ(owner.received, "ANEW$");

  // "H\r" was never written: the next text on the line is the next command.
  owner.onByte = nullptr;
  channel.Send("R\r");
  EXPECT_EQ(peer.Read(2), "R\r");
}

TEST_F(SerialChannelTest, OpeningAnotherPortEndsThePreviousMonitorAndFreesItsPort) {
  RawPeer first, second;
  ASSERT_TRUE(second.Ok());
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_NO_FATAL_FAILURE(Connect(channel, first));
  EXPECT_FALSE(ports::CanOpenExclusively(first.Path()));  // held while open
  first.Write("1");
  ASSERT_TRUE(RunUntil([&] { return owner.received == "1"; }));

  ASSERT_TRUE(OpenMeterPort(channel, &owner, second.Path()));
  EXPECT_FALSE(channel.IsThreadAlive());
  EXPECT_TRUE(ports::CanOpenExclusively(first.Path()));
  StartMonitor(channel, second);
  first.Write("x");
  second.Write("2");
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() >= 2; }));
  loop.RunFor(20);
  EXPECT_EQ(owner.received, "12");

  // After StopMonitor the thread closes the port; a new Open of it waits for that.
  channel.StopMonitor();
  ASSERT_TRUE(OpenMeterPort(channel, &owner, second.Path()));
  StartMonitor(channel, second);
  second.Write("3");
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() >= 3; }));
  EXPECT_EQ(owner.received, "123");
}

TEST_F(SerialChannelTest, PortsThatCannotBeOpenedAndConfigurationFailures) {
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  EXPECT_FALSE(OpenMeterPort(channel, &owner, "/nonexistent/COM3"));
  EXPECT_FALSE(channel.StartMonitor());
  channel.Send("?\r");  // dropped by the closed channel

  RawPeer peer;
  ASSERT_TRUE(peer.Ok());
  const std::unique_ptr<ISerialPort> holderPort = NewSerialPort();
  ISerialPort& holder = *holderPort;
  ASSERT_TRUE(OpenMeterPort(holder, &owner, peer.Path()));
  EXPECT_FALSE(OpenMeterPort(channel, &owner, peer.Path()));  // someone else holds it

  // A plain file is no port, even when named as one: it is neither read as
  // replies nor written with commands.
  std::string file = (std::filesystem::temp_directory_path() / "km360r-notaport.XXXXXX").string();
  const int fd = ::mkstemp(file.data());
  ASSERT_GE(fd, 0);
  ::close(fd);
  std::ofstream(file) << std::string(100000, 'a');
  EXPECT_FALSE(OpenMeterPort(channel, &owner, file));
  EXPECT_FALSE(channel.StartMonitor());
  std::filesystem::remove(file);

}

TEST_F(SerialChannelTest, CharacterDevicesWithoutLineSettingsAreRefusedWithoutABox) {
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  for (const char* device : {"/dev/null", "/dev/zero", "/dev/urandom"}) {
    EXPECT_FALSE(OpenMeterPort(channel, &owner, device)) << device;
    EXPECT_EQ(channel.LastOpenError(), ENOTTY) << device;
    EXPECT_FALSE(channel.StartMonitor()) << device;
  }
  loop.RunFor(50);
  EXPECT_TRUE(owner.received.empty());
  EXPECT_TRUE(owner.driverErrors.empty());

  // A real line opened after them clears the reason.
  RawPeer peer;
  ASSERT_TRUE(peer.Ok());
  ASSERT_TRUE(OpenMeterPort(channel, &owner, peer.Path()));
  EXPECT_EQ(channel.LastOpenError(), 0);
}

TEST_F(SerialChannelTest, LineSettingsTheLineCannotTakeShowTheBoxAndRefuseThePort) {
  RawPeer peer;
  ASSERT_TRUE(peer.Ok());
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  EXPECT_FALSE(channel.Open(&owner, peer.Path(), LineSettings{12345, 'N', 8, 1, 1024}));
  ASSERT_TRUE(RunUntil([&] { return !owner.driverErrors.empty(); }));
  EXPECT_EQ(owner.driverErrors[0], FormatDriverError("BuildCommDCB()", EINVAL, 0));
  EXPECT_NE(owner.driverErrors[0].find("Port: 0"), std::string::npos);
  EXPECT_TRUE(ports::CanOpenExclusively(peer.Path()));  // closed again
}

TEST(SerialChannelText, DriverErrorTextFitsTheBox) {
  EXPECT_EQ(FormatDriverError("WriteFile()", EIO, 0),
            "WARNING:  WriteFile() Failed with the following error: \nInput/output error\nPort: 0\n");
  const std::string longText = FormatDriverError(std::string(300, 'x'), EIO, 0);
  EXPECT_EQ(longText.size(), 199u);
}

TEST_F(SerialChannelTest, TheMeterAnswersTheProbeAndItsHangUpIsReportedOnce) {
  SimMeter meter({"--hangup-after", "1"});
  ASSERT_FALSE(meter.Path().empty());
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_TRUE(OpenMeterPort(channel, &owner, meter.Path()));
  ASSERT_TRUE(channel.StartMonitor());
  channel.Send("?\r");
  ASSERT_TRUE(RunUntil([&] { return owner.lostCount > 0; }));
  EXPECT_EQ(owner.received, "?");
  EXPECT_EQ(meter.Log(), "?\n");

  // The lost line is reported once; writes to it are dropped without an error box.
  channel.Send("D\r");
  loop.RunFor(100);
  EXPECT_EQ(owner.lostCount, 1);
  EXPECT_TRUE(owner.driverErrors.empty());
  EXPECT_FALSE(owner.offUiThread);
  EXPECT_TRUE(channel.IsThreadAlive());
  channel.StopMonitor();
  EXPECT_TRUE(RunUntil([&] { return !channel.IsThreadAlive(); }));
}

TEST_F(SerialChannelTest, ALossReportedAfterTheMonitorWasStoppedIsDropped) {
  RawPeer peer;
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_NO_FATAL_FAILURE(Connect(channel, peer));
  peer.HangUp();
  // The report is queued for the UI thread, but the link was closed before it ran.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  channel.StopMonitor();
  loop.RunFor(50);
  EXPECT_EQ(owner.lostCount, 0);
}

TEST_F(SerialChannelTest, TheMeterSeesExactlyTheCommandsWritten) {
  SimMeter meter({});
  ASSERT_FALSE(meter.Path().empty());
  const std::unique_ptr<ISerialPort> channelPort = NewSerialPort();
  ISerialPort& channel = *channelPort;
  ASSERT_TRUE(OpenMeterPort(channel, &owner, meter.Path()));
  ASSERT_TRUE(channel.StartMonitor());
  channel.Send("B\r");
  ASSERT_TRUE(RunUntil([&] { return !owner.received.empty() && owner.received.back() == '$'; }));
  channel.Send("T 24/05/06 10:20:30\r");
  ASSERT_TRUE(RunUntil([&] { return owner.received.find('$', owner.received.find('$') + 1) != std::string::npos; }));
  // No echo of the meter's own text came back to it as commands.
  EXPECT_EQ(meter.Log(), "B\nT 24/05/06 10:20:30\n");
}

// StopMonitor, Open and the destructor are called on the UI thread while the
// meter streams a long history: each must return although the monitor thread
// waits for the UI thread to take its bytes.
class StreamingMeterTest : public SerialChannelTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(meter.Path().empty());
    ASSERT_TRUE(OpenMeterPort(*channel, &owner, meter.Path()));
    ASSERT_TRUE(channel->StartMonitor());
    channel->Send("H\r");
    ASSERT_TRUE(RunUntil([&] { return owner.received.size() > 4096; }));
  }

  SimMeter meter{{"--history-count", "100000"}};
  std::unique_ptr<ISerialPort> channel = NewSerialPort();
};

TEST_F(StreamingMeterTest, StopMonitorInsideTheByteHandlerAndFromATimer) {
  {
    DeadlockGuard guard("StopMonitor in the byte handler");
    owner.onByte = [&](unsigned char) {
      channel->StopMonitor();
      owner.onByte = nullptr;
    };
    ASSERT_TRUE(RunUntil([&] { return !channel->IsThreadAlive(); }));
  }
  // Nothing is delivered after the stop took effect.
  const size_t count = owner.received.size();
  loop.RunFor(50);
  EXPECT_EQ(owner.received.size(), count);

  // Reopened; this time the stop comes from a timer while a hand-over waits.
  ASSERT_TRUE(OpenMeterPort(*channel, &owner, meter.Path()));
  ASSERT_TRUE(channel->StartMonitor());
  channel->Send("H\r");
  ASSERT_TRUE(RunUntil([&] { return owner.received.size() > count + 4096; }));
  DeadlockGuard guard("StopMonitor from a timer");
  loop.StartTimer(9, 1, [&] {
    channel->StopMonitor();
    loop.KillTimer(9);
  });
  EXPECT_TRUE(RunUntil([&] { return !channel->IsThreadAlive(); }));
}

TEST_F(StreamingMeterTest, OpenInsideTheByteHandlerEndsTheStreamingMonitor) {
  bool reopened = false;
  {
    DeadlockGuard guard("Open in the byte handler");
    owner.onByte = [&](unsigned char) {
      owner.onByte = nullptr;
      reopened = OpenMeterPort(*channel, &owner, meter.Path());
    };
    ASSERT_TRUE(RunUntil([&] { return reopened; }));
  }
  EXPECT_FALSE(channel->IsThreadAlive());
  // The reopened line works both ways: the meter gets a command and its
  // history streams on. (The meter answers the command only after the whole
  // history, megabytes later, so the answer itself is not waited for.)
  const size_t count = owner.received.size();
  ASSERT_TRUE(channel->StartMonitor());
  channel->Send("?\r");
  EXPECT_TRUE(RunUntil([&] { return meter.Log().find("?\n") != std::string::npos; }));
  EXPECT_TRUE(RunUntil([&] { return owner.received.size() > count + 4096; }));
}

TEST_F(StreamingMeterTest, TheDestructorEndsTheStreamingMonitor) {
  DeadlockGuard guard("the destructor in the byte handler");
  owner.onByte = [&](unsigned char) {
    owner.onByte = nullptr;
    channel.reset();
  };
  ASSERT_TRUE(RunUntil([&] { return channel == nullptr; }));
  // A hand-over that was still queued finds its channel gone and delivers nothing.
  const size_t count = owner.received.size();
  loop.RunFor(50);
  EXPECT_EQ(owner.received.size(), count);
}

}  // namespace

}  // namespace e2e
