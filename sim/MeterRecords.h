#pragma once
// The records the KM360R meter sends, built the way the program takes them
// apart: every field is found by its Chinese label and read at a fixed byte
// offset from the label's first byte (GBK, two bytes per Chinese character).
// docs/meter-protocol.md describes each layout. All results are GBK bytes
// ending with the record end "$" (the probe answer is the single byte "?").
#include <array>
#include <ctime>
#include <string>

#include "device/Measurement.h"
#include "device/meters/km360r/Km360rSettings.h"

namespace meter {

// The wavelengths the meter knows, by wavelength code (the "L" and "C"
// argument).
using meters::km360r::kWavelengthsNm;

inline constexpr int kDefaultWavelengthCode = 3;  // 1310 nm

// One power reading as the meter sends it: a real-time value, a stored history
// entry or an AD sample. (Named apart from the program's own typed reading:
// tests link both, and one name for two layouts would break the link.)
struct SentReading {
  int wavelengthNm = 1310;
  double dbm = -20.0;  // kept within -10.00 .. -39.99, so its text is always 6 bytes
  std::tm time{};      // the meter's clock when the value was taken
};

inline constexpr std::string_view kProbeAnswer = "?";

// "yy/mm/dd hh:mm:ss", the meter's clock format (two-digit year).
std::string MeterTime(const std::tm& t);

// The linear power of a dBm value with its unit, e.g. "12.24uW".
std::string LinearPowerText(double dbm);

// A reading below a title line (UTF-8, converted with the rest).
std::string ReadingRecord(const std::string& headingUtf8, const SentReading& r);

// A history slot the meter has never written: zero values, time "00/00/00 00:00:00".
std::string EmptySlotRecord(const std::string& headingUtf8);

// Closes a history transfer ("历史记录调阅结束").
std::string HistoryEndRecord(int recordCount);

// One wavelength's system parameters as the meter sends them: wavelength
// calibration value (5 bytes) and the calibration values of ranges 0 to 7 in
// dBm. (Named apart from the program's parsed meter::ParameterRecord, as
// SentReading is.)
std::string SentParameterRecord(int wavelengthNm, double wavelengthCalibration,
                                const std::array<double, 8>& rangeCalibrationDbm);

// The wavelength-code listing with the current wavelength, closed by
// "以上内容为波长代码".
std::string WavelengthCodeListing(int currentCode);

// Answer to "L n" and "C ...": the current wavelength and the outcome.
std::string WavelengthSettingReply(int currentCode, const std::string& whatUtf8, bool ok);

// Answer to "T ...", "F n" and "I": the outcome ("...成功" or "...失败"),
// named apart from the program's parsed meter::SettingReply.
std::string SentSettingReply(const std::string& whatUtf8, bool ok);

// The current-wavelength text as the meter prints it: four bytes, "850 " for
// the three-digit ones.
std::string WavelengthValueText(int wavelengthNm);

}  // namespace meter
