#pragma once
// The meter service's runtime in the windowed program: its timers are QTimers
// and its posted work queued calls, all on the thread of the window that owns
// this object. Work posted to it after it is gone is dropped.
#include <QObject>
#include <functional>
#include <map>

#include "common/Runtime.h"

class QTimer;

class QtRuntime : public QObject, public IRuntime {
 public:
  explicit QtRuntime(QObject* parent = nullptr) : QObject(parent) {}

  void StartTimer(int id, int periodMs, std::function<void()> tick) override;
  void KillTimer(int id) override;
  // Safe from any thread.
  void Post(std::function<void()> fn) override;

 private:
  std::map<int, QTimer*> m_timers;  // by id; children of this object
};
