#pragma once
// The periods of a reading session. The meter answers a poll within a second
// and sends a history record at least every ten seconds; a session that talks
// to a faster simulated meter can be given shorter periods.
struct SessionTimings {
  // "D\r" is posted this often during real-time reading.
  int pollPeriodMs = 1000;
  // A watched command's reply is given up for lost after two silent periods.
  int realTimeWatchdogMs = 1000;
  int historyWatchdogMs = 10000;
};
