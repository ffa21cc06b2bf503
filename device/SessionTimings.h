#pragma once
// The periods of a reading session. The meter answers a poll within a second,
// a probe within half a second, and sends a history record at least every ten
// seconds; a session that talks to a faster simulated meter can be given
// shorter periods.
struct SessionTimings {
  // "D\r" is posted this often during real-time reading.
  int pollPeriodMs = 1000;
  // A watched command's reply is given up for lost after two silent periods.
  int realTimeWatchdogMs = 1000;
  int historyWatchdogMs = 10000;
  // The port scan looks for the answer this long after each "?\r".
  int probeIntervalMs = 500;
  // A second Link press this soon after the last is not taken: a person's
  // double press, not a new command.
  int linkGuardMs = 1000;
};
