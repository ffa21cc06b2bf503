#pragma once
// Finding the meter: every candidate port in turn is opened, monitored and
// probed with the meter model's probe ("?\r") up to three times, the session's probe interval (500 ms)
// apart; the first port whose meter answers wins, as soon as the answer is
// in, and stays open. The scan runs on a thread of its own so that the window
// stays responsive during the up to half a minute it can take.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/LifeGuard.h"
#include "device/PortList.h"
#include "device/SerialPort.h"

class PortScan {
 public:
  static constexpr int kProbeTries = 3;

  // Candidates come from `ports` and are opened on `port`, with `owner`
  // receiving what they report; each is opened with `line` and asked `probe`
  // (the meter model's), and the answer is looked for `probeIntervalMs` after
  // it was sent.
  PortScan(ISerialPort& port, IPortList& ports, ISerialOwner& owner, std::string_view probe, const LineSettings& line,
           int probeIntervalMs)
      : m_channel(port),
        m_ports(ports),
        m_owner(owner),
        m_strProbe(probe),
        m_line(line),
        m_nProbeIntervalMs(probeIntervalMs) {}
  ~PortScan() { Stop(); }
  PortScan(const PortScan&) = delete;
  PortScan& operator=(const PortScan&) = delete;

  // Starts scanning `onlyPort` (a device path or a COM name), or every
  // candidate of the system when it is empty. `probing` runs on the UI thread
  // as each candidate is opened, with its name and device; `finished` runs on
  // the UI thread with the outcome: the port that answered, or one with an
  // empty device path.
  void Start(const std::string& onlyPort,
             std::function<void(const ports::PortCandidate& port)> probing,
             std::function<void(const ports::PortCandidate& port)> finished);

  // The probe's answer has arrived (called on the UI thread by the reply
  // assembly while the scan runs). The scan goes on at once: a connection
  // need not wait out the probe's interval.
  void MarkAnswered();

  // Ends a running scan and waits for its thread.
  void Stop();

 private:
  void Run(const std::vector<ports::PortCandidate>& candidates);
  // Waits up to ms for the probe's answer; false when the scan is being
  // stopped.
  bool AwaitAnswer(int ms);

  ISerialPort& m_channel;
  IPortList& m_ports;
  ISerialOwner& m_owner;
  const std::string m_strProbe;
  const LineSettings m_line;
  const int m_nProbeIntervalMs;
  std::function<void(const ports::PortCandidate&)> m_probing;
  std::function<void(const ports::PortCandidate&)> m_finished;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_bStop = false;      // guarded by m_mutex
  bool m_bAnswered = false;  // guarded by m_mutex
  // The outcome posted by the scan thread does nothing once the scan object
  // is gone.
  LifeGuard m_life;
};
