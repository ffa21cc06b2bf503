#pragma once
// The services a piece of logic needs from the thread it runs on: timers and
// posted work. The windowed program gives it QTimer and queued calls, the
// window-less front ends an EventLoop, tests a fake clock.
#include <functional>

class IRuntime {
 public:
  virtual ~IRuntime() = default;

  // Calls `tick` every periodMs on the UI thread until KillTimer(id). Starting
  // an id that runs restarts it with the new period and callback.
  virtual void StartTimer(int id, int periodMs, std::function<void()> tick) = 0;
  virtual void KillTimer(int id) = 0;

  // Queues fn to run on the UI thread after the handler that is running now.
  // Any thread may call it.
  virtual void Post(std::function<void()> fn) = 0;
};
