#pragma once
// A small UI-thread event loop for the hosts that have no window system: the
// command-line companion, the end-to-end tests and the benchmarks. The thread
// that runs RunFor/RunUntil is "the UI thread": posted functions and timer
// callbacks run there one at a time, posted work before due timers (as window
// messages come before timer ticks). Any thread may Post or Quit.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "common/Runtime.h"

class EventLoop : public IRuntime {
 public:
  using Clock = std::chrono::steady_clock;

  // Queues fn to run on the loop's thread after the work queued before it.
  void Post(std::function<void()> fn) override;

  // Calls `callback` every periodMs on the loop's thread until KillTimer(id).
  // Starting an id that runs restarts it with the new period and callback.
  void StartTimer(int id, int periodMs, std::function<void()> callback) override;
  void KillTimer(int id) override;
  bool IsTimerRunning(int id) const;

  // Dispatches work for `ms` milliseconds (or until Quit).
  void RunFor(int ms);

  // Dispatches work until `done()` holds, Quit is called or timeoutMs passes.
  // Returns done() as it stands at the end. `done` is checked after every
  // dispatched item and at least every few milliseconds, so it may also watch
  // state that other threads change.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);

  // Ends the running RunFor/RunUntil (or the next one, when none runs).
  void Quit();

 private:
  struct Timer {
    int periodMs;
    Clock::time_point due;
    std::function<void()> callback;
  };

  // Runs one posted item or one due timer; waits until `wakeBy` when there is
  // nothing to do. Returns false when Quit was requested.
  bool DispatchOne(Clock::time_point wakeBy);

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_posted;
  std::map<int, Timer> m_timers;
  bool m_bQuit = false;
};
