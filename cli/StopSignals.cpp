#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

#include <signal.h>

namespace cli {

namespace {

// Written by the handlers (on whichever thread the signal lands) and by
// RequestStop, read by the command's wait on the main thread. A lock-free
// atomic is safe in a handler and seen across threads.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) {
  int none = 0;
  g_stopSignal.compare_exchange_strong(none, signal);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked write to standard output returns
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

void IgnoreBrokenPipeSignal() { std::signal(SIGPIPE, SIG_IGN); }

void RequestStop(int signal) { OnStopSignal(signal); }

int StopSignal() { return g_stopSignal.load(); }

}  // namespace cli
