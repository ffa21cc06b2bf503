#include "device/PortScan.h"

#include <chrono>

void PortScan::Start(const std::string& onlyPort,
                     std::function<void(const ports::PortCandidate& port)> probing,
                     std::function<void(const ports::PortCandidate& port)> finished) {
  Stop();  // a finished scan's thread is joined here at the latest
  {
    std::lock_guard lock(m_mutex);
    m_bStop = false;
    m_bAnswered = false;
  }
  m_probing = std::move(probing);
  m_finished = std::move(finished);
  m_thread = std::thread([this, onlyPort] {
    std::vector<ports::PortCandidate> candidates;
    if (!onlyPort.empty()) {
      // "COM5" is taken as the port of that name, anything else as a device path.
      candidates.push_back({onlyPort, m_ports.Resolve(onlyPort)});
    } else {
      candidates = m_ports.Candidates();
    }
    Run(candidates);
  });
}

void PortScan::MarkAnswered() {
  {
    std::lock_guard lock(m_mutex);
    m_bAnswered = true;
  }
  m_wake.notify_all();
}

bool PortScan::AwaitAnswer(int ms) {
  std::unique_lock lock(m_mutex);
  m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bStop || m_bAnswered; });
  return !m_bStop;
}

void PortScan::Run(const std::vector<ports::PortCandidate>& candidates) {
  const std::weak_ptr<const void> alive = m_life.Watch();
  ports::PortCandidate winner;
  for (const ports::PortCandidate& candidate : candidates) {
    const std::string& port = candidate.devicePath;
    // The operator sees which port is being tried: a full scan takes a while.
    m_owner.PostToUi([this, alive, candidate] {
      if (!alive.expired() && m_probing) m_probing(candidate);
    });
    if (!m_channel.Open(&m_owner, port, m_line)) {
      continue;  // cannot be opened: counts as not answering
    }
    m_channel.StartMonitor();
    bool answered = false;
    for (int attempt = 0; attempt < kProbeTries && !answered; ++attempt) {
      m_channel.Send(m_strProbe);
      if (!AwaitAnswer(m_nProbeIntervalMs)) return;
      std::lock_guard lock(m_mutex);
      answered = m_bAnswered;
    }
    if (answered) {
      winner = candidate;
      break;
    }
    m_channel.StopMonitor();
  }
  m_owner.PostToUi([this, alive, winner] {
    if (alive.expired()) return;
    if (m_thread.joinable()) m_thread.join();  // it ended right after posting
    if (m_finished) m_finished(winner);
  });
}

void PortScan::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_bStop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}
