#include "common/EventLoop.h"

#include <algorithm>
#include <utility>

namespace {
// How often RunUntil looks at its condition while nothing is dispatched, so that
// a condition changed by another thread without a post is still seen soon.
constexpr auto kConditionPoll = std::chrono::milliseconds(5);
}  // namespace

void EventLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lk(m_mutex);
    m_posted.push_back(std::move(fn));
  }
  m_wake.notify_one();
}

void EventLoop::StartTimer(int id, int periodMs, std::function<void()> callback) {
  {
    std::lock_guard<std::mutex> lk(m_mutex);
    const int period = std::max(periodMs, 1);
    m_timers[id] = Timer{period, Clock::now() + std::chrono::milliseconds(period),
                         std::move(callback)};
  }
  m_wake.notify_one();
}

void EventLoop::KillTimer(int id) {
  std::lock_guard<std::mutex> lk(m_mutex);
  m_timers.erase(id);
}

bool EventLoop::IsTimerRunning(int id) const {
  std::lock_guard<std::mutex> lk(m_mutex);
  return m_timers.count(id) != 0;
}

void EventLoop::Quit() {
  {
    std::lock_guard<std::mutex> lk(m_mutex);
    m_bQuit = true;
  }
  m_wake.notify_one();
}

bool EventLoop::DispatchOne(Clock::time_point wakeBy) {
  std::unique_lock<std::mutex> lk(m_mutex);
  if (m_bQuit) {
    m_bQuit = false;
    return false;
  }
  if (!m_posted.empty()) {
    std::function<void()> fn = std::move(m_posted.front());
    m_posted.pop_front();
    lk.unlock();
    fn();
    return true;
  }
  const Clock::time_point now = Clock::now();
  auto next = m_timers.end();
  for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
    if (next == m_timers.end() || it->second.due < next->second.due) next = it;
  }
  if (next != m_timers.end() && next->second.due <= now) {
    // A late tick is not repeated to catch up: the next one is a full period
    // away, as window timers behave.
    Timer& t = next->second;
    t.due = now + std::chrono::milliseconds(t.periodMs);
    std::function<void()> callback = t.callback;  // the callback may kill or restart its timer
    lk.unlock();
    callback();
    return true;
  }
  if (next != m_timers.end()) wakeBy = std::min(wakeBy, next->second.due);
  m_wake.wait_until(lk, wakeBy, [this] { return m_bQuit || !m_posted.empty(); });
  return true;
}

void EventLoop::RunFor(int ms) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < deadline) {
    if (!DispatchOne(deadline)) return;
  }
}

bool EventLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    if (!DispatchOne(std::min(deadline, now + kConditionPoll))) break;
  }
  return done();
}
