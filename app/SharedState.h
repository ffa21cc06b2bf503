#pragma once
// The state that the main frame, the pages, the dialogs and the port-scan
// thread share. One program, one meter: these are process-wide, as the pages
// and dialogs reach them without holding a pointer to the frame.
#include <atomic>
#include <string>

// Link state. Written by the port-scan thread and by the UI thread.
extern std::atomic<bool> g_bConnected;  // the meter answered the probe
extern std::atomic<bool> g_bLinkBusy;   // a Link command was accepted less than 1000 ms ago

// What the table page makes of the next records:
// 0 real-time, 1 history or AD values, 2 wavelength codes, 3 system parameters,
// 4 clock, 5 wavelength, 6 calibration, 7 measurement mode, 99 nothing.
extern int g_nDataKind;
extern int g_nRowCount;       // index of the next row of the current read
extern bool g_bParamView;     // the table shows system parameters
extern bool g_bTabsPending;   // the two tab items are not inserted yet

// Reply assembly (UI thread only).
extern std::string g_strReplyBuffer;   // GBK bytes since the last record end or probe answer
extern std::string g_strGraphValue;    // value text of the latest real-time record
extern std::string g_strCurWavelength; // the meter's current wavelength text (GBK)

namespace datakind {
inline constexpr int kRealTime = 0;
inline constexpr int kHistory = 1;  // also AD values
inline constexpr int kWavelengthCodes = 2;
inline constexpr int kParameters = 3;
inline constexpr int kClock = 4;
inline constexpr int kWavelength = 5;
inline constexpr int kCalibration = 6;
inline constexpr int kMode = 7;
inline constexpr int kNothing = 99;
}  // namespace datakind

// Back to the start-up values (for a fresh program state in tests and tools).
void ResetSharedState();
