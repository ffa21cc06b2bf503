#pragma once
// Work queued for the UI thread can run after the object that queued it is
// gone: a window closed, or a session replaced, while its messages wait. The
// object holds a LifeGuard; what it queues carries the guard's watch and runs
// only if the guard still lives. The guard dies with its owner, on the UI
// thread, so a queued closure either runs before the owner goes or not at all.
#include <functional>
#include <memory>
#include <utility>

#include "common/Runtime.h"

class LifeGuard {
 public:
  LifeGuard() = default;
  // One owner per guard: a copy would keep the owner "alive" after it went.
  LifeGuard(const LifeGuard&) = delete;
  LifeGuard& operator=(const LifeGuard&) = delete;

  // For a closure queued by other means: expired once the owner is gone.
  std::weak_ptr<const void> Watch() const { return m_token; }

  // Queues fn on the runtime, to run only if the owner still lives then.
  void Post(IRuntime& runtime, std::function<void()> fn) const {
    runtime.Post([alive = Watch(), fn = std::move(fn)] {
      if (!alive.expired()) fn();
    });
  }

 private:
  std::shared_ptr<const int> m_token = std::make_shared<const int>(0);
};
