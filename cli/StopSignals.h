#pragma once
// How a run of km360r-cli is asked to stop: SIGINT (Ctrl+C), SIGTERM (timeout,
// kill), SIGHUP (the terminal closed) and a reader of standard output that went
// away (a broken pipe). Each ends the meter command's wait; the rows read so far
// are still saved to --out, and the exit code is 128 + the signal number, as a
// shell reports a process ended by that signal.
namespace cli {

// Catches SIGINT, SIGTERM and SIGHUP for the rest of the run. The handlers only
// note the signal; the command's wait sees the note within a few milliseconds.
// They do not restart interrupted calls, so a write blocked on a full pipe
// returns and cannot keep the run from ending.
void CatchStopSignals();

// SIGPIPE is not let kill the process: a write to a closed pipe fails with EPIPE
// instead, and the run stops as if SIGPIPE had been caught.
void IgnoreBrokenPipeSignal();

// Notes a stop asked for by `signal` (the first one noted is kept).
void RequestStop(int signal);

// The signal that asked the run to stop, 0 when none did.
int StopSignal();

}  // namespace cli
