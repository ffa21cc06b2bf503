#include "common/StopSignals.h"

#include <windows.h>

#include <atomic>

namespace stopsignals {

namespace {

std::atomic<void (*)(int)> g_note{nullptr};
std::atomic<void (*)()> g_cleanup{nullptr};

int NumberOf(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: return kInterrupt;
    case CTRL_BREAK_EVENT: return kBreak;
    default: return kHangUp;  // the console closing, logoff, shutdown
  }
}

// Runs on a thread the console starts for the event. Returning TRUE ends the
// handling; FALSE lets the default handler end the process. For the console
// closing, the process ends when this returns, whatever it returns.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (auto note = g_note.load()) {
    note(NumberOf(event));
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // The program saves what it has and leaves main, which ends the process
    // and this thread with it; the system ends it anyway after its time.
    Sleep(INFINITE);
  }
  if (auto cleanup = g_cleanup.load()) cleanup();
  return FALSE;
}

void Register() {
  static const bool registered = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
  (void)registered;
}

}  // namespace

void Catch(void (*note)(int)) {
  g_note.store(note);
  Register();
}

void EndAfter(void (*cleanup)()) {
  g_note.store(nullptr);
  g_cleanup.store(cleanup);
  Register();
}

void IgnoreBrokenPipe() {}

}  // namespace stopsignals
