#include "common/StopSignals.h"

#include <signal.h>

#include <atomic>

namespace stopsignals {

namespace {

static_assert(kInterrupt == SIGINT && kHangUp == SIGHUP && kTerminate == SIGTERM && kBrokenPipe == SIGPIPE);

std::atomic<void (*)(int)> g_note{nullptr};
std::atomic<void (*)()> g_cleanup{nullptr};

extern "C" void OnNotedSignal(int signal) {
  if (auto note = g_note.load()) note(signal);
}

extern "C" void OnEndingSignal(int signal) {
  if (auto cleanup = g_cleanup.load()) cleanup();
  // The handler was reset on entry (SA_RESETHAND): the signal, blocked while
  // the handler runs, ends the program as soon as it returns.
  ::raise(signal);
}

void Install(void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace

void Catch(void (*note)(int)) {
  g_note.store(note);
  // No SA_RESTART: a blocked write to standard output returns.
  Install(OnNotedSignal, 0);
}

void EndAfter(void (*cleanup)()) {
  g_cleanup.store(cleanup);
  Install(OnEndingSignal, SA_RESETHAND);
}

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

}  // namespace stopsignals
