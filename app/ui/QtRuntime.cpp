#include "app/ui/QtRuntime.h"

#include <QTimer>

void QtRuntime::StartTimer(int id, int periodMs, std::function<void()> tick) {
  QTimer*& timer = m_timers[id];
  if (!timer) timer = new QTimer(this);
  timer->disconnect();
  connect(timer, &QTimer::timeout, this, std::move(tick));
  timer->start(periodMs);
}

void QtRuntime::KillTimer(int id) {
  const auto it = m_timers.find(id);
  if (it != m_timers.end()) it->second->stop();
}

void QtRuntime::Post(std::function<void()> fn) {
  // The call is queued to this object's thread.
  QMetaObject::invokeMethod(this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}
