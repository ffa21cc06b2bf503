#include "sim/MeterRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/Gbk.h"

namespace meter {

namespace {

// Every field line is its label padded to ten bytes (label, blanks, ": "), so
// the value starts ten bytes after the label's first byte. Chinese labels count
// two bytes per character in GBK.
const char* const kWavelengthLine = "波长    : ";  // 4 + 4 + 2 bytes
const char* const kLinearLine = "线性功率: ";    // 8 + 2
const char* const kLogLine = "对数功率: ";       // 8 + 2
const char* const kTimeLine = "时间    : ";      // 4 + 4 + 2
const char* const kCurrentLine = "当前波长: ";   // 8 + 2

std::string Format(const char* fmt, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, value);
  return buf;
}

std::string FormatInt(const char* fmt, int value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, value);
  return buf;
}

// Records are composed in UTF-8 and sent in GBK.
std::string Finish(const std::string& utf8) { return gbk::FromUtf8(utf8) + "$"; }

std::string CurrentWavelengthLine(int code) {
  const int index = std::clamp(code, 0, static_cast<int>(kWavelengthsNm.size()) - 1);
  return kCurrentLine + WavelengthValueText(kWavelengthsNm[index]) + "nm\r\n";
}

}  // namespace

std::string MeterTime(const std::tm& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d:%02d", t.tm_year % 100, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string LinearPowerText(double dbm) {
  const double microwatts = std::pow(10.0, dbm / 10.0) * 1000.0;
  return Format("%.2fuW", microwatts);
}

std::string WavelengthValueText(int wavelengthNm) { return FormatInt("%-4d", wavelengthNm); }

std::string ReadingRecord(const std::string& headingUtf8, const SentReading& r) {
  // Six bytes of value text ("-19.12") are what the graph takes.
  const double dbm = std::clamp(r.dbm, -39.99, -10.0);
  return Finish(headingUtf8 + "\r\n" + kWavelengthLine + FormatInt("%d", r.wavelengthNm) +
                "nm\r\n" + kLinearLine + LinearPowerText(dbm) + "\r\n" + kLogLine +
                Format("%06.2f", dbm) + "dBm\r\n" + kTimeLine + MeterTime(r.time) + "\r\n");
}

std::string EmptySlotRecord(const std::string& headingUtf8) {
  return Finish(headingUtf8 + "\r\n" + kWavelengthLine + "0nm\r\n" + kLinearLine + "0.00uW\r\n" +
                kLogLine + "-00.00dBm\r\n" + kTimeLine + "00/00/00 00:00:00\r\n");
}

std::string HistoryEndRecord(int recordCount) {
  return Finish("历史记录调阅结束\r\n共" + FormatInt("%d", recordCount) + "条\r\n");
}

std::string SentParameterRecord(int wavelengthNm, double wavelengthCalibration,
                                const std::array<double, 8>& rangeCalibrationDbm) {
  // "波长：" comes first, so it is the first "波长" of the record; the
  // calibration labels are padded so that their values start 16 bytes after
  // "系统波长" (five bytes taken) and 16 bytes plus one blank after "系统量程N".
  // The wavelength is the bare number up to the line end: the table shows it
  // as the meter sends it, and the parameter file adds the unit itself.
  std::string text = "波长：" + FormatInt("%d", wavelengthNm) + "\r\n";
  text += "系统波长校准值: " + Format("%5.3f", wavelengthCalibration).substr(0, 5) + "\r\n";
  for (int n = 0; n < 8; ++n) {
    text += "系统量程" + FormatInt("%d", n) + "校准值: " +
            Format("%.2f", rangeCalibrationDbm[static_cast<size_t>(n)]) + "dBm\r\n";
  }
  return Finish(text);
}

std::string WavelengthCodeListing(int currentCode) {
  std::string text = CurrentWavelengthLine(currentCode) + "波长代码:\r\n";
  for (size_t code = 0; code < kWavelengthsNm.size(); ++code) {
    text += FormatInt("%d: ", static_cast<int>(code)) + FormatInt("%d", kWavelengthsNm[code]) +
            "nm\r\n";
  }
  return Finish(text + "以上内容为波长代码\r\n");
}

std::string WavelengthSettingReply(int currentCode, const std::string& whatUtf8, bool ok) {
  return Finish(CurrentWavelengthLine(currentCode) + whatUtf8 + (ok ? "成功" : "失败") + "\r\n");
}

std::string SentSettingReply(const std::string& whatUtf8, bool ok) {
  return Finish(whatUtf8 + (ok ? "成功" : "失败") + "\r\n");
}

}  // namespace meter
