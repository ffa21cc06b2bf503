#pragma once
// The requests to stop a program from outside, for the front ends and for the
// saves of common/FileAccess. On Linux: SIGINT (Ctrl+C), SIGTERM (a timeout,
// kill) and SIGHUP (the terminal closed). On Windows: Ctrl+C, Ctrl+Break and
// the console closing (or the user logging off, the system shutting down),
// which the console reports to a handler thread of its own.
//
// A stop is known by a number as POSIX numbers its signal, so that the exit
// code 128 + number reads the same on both: Ctrl+C is SIGINT (2) and the
// console closing SIGHUP (1); Ctrl+Break is the C runtime's SIGBREAK (21).
namespace stopsignals {

inline constexpr int kInterrupt = 2;   // SIGINT: Ctrl+C
inline constexpr int kHangUp = 1;      // SIGHUP: the terminal or console closed
inline constexpr int kTerminate = 15;  // SIGTERM
inline constexpr int kBreak = 21;      // SIGBREAK: Ctrl+Break (Windows)
inline constexpr int kBrokenPipe = 13; // SIGPIPE: the reader of the output went away

// Every later stop request calls `note(number)` and the program runs on. On
// Linux `note` runs in a signal handler (only lock-free atomics there); on
// Windows on the console's handler thread, and a closing console waits, up to
// the time the system gives it, for the program to end by itself.
void Catch(void (*note)(int number));

// Every later stop request calls `cleanup()` and then ends the program as the
// request would by default. `cleanup` must be safe in a signal handler.
void EndAfter(void (*cleanup)());

// A write to a pipe whose reader went away fails (EPIPE) instead of ending the
// program (Linux; Windows has no such signal).
void IgnoreBrokenPipe();

}  // namespace stopsignals
