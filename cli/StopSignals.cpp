#include "cli/StopSignals.h"

#include <atomic>

#include "common/StopSignals.h"

namespace cli {

namespace {

// Written by the handlers (on whichever thread the signal lands) and by
// RequestStop, read by the command's wait on the main thread. A lock-free
// atomic is safe in a handler and seen across threads.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int signal) {
  int none = 0;
  g_stopSignal.compare_exchange_strong(none, signal);
}

}  // namespace

void CatchStopSignals() { stopsignals::Catch(OnStopSignal); }

void IgnoreBrokenPipeSignal() { stopsignals::IgnoreBrokenPipe(); }

void RequestStop(int signal) { OnStopSignal(signal); }

int StopSignal() { return g_stopSignal.load(); }

}  // namespace cli
