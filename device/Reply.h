#pragma once
// One record of the meter (the bytes up to and including its "$") and what it
// says, read by the labels and byte offsets the meter lays its records out by.
// Every field offset of a live record is here and nowhere else.
//
// The views a Reply hands out point into its own text: they stay valid while
// the Reply lives.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace meter {

// A measurement: a real-time reading, a stored history record or an AD value
// line. Each field is the text behind its label, as the meter wrote it.
struct Reading {
  std::string_view wavelength;   // "波长", cut at "nm"
  std::string_view linearPower;  // "线性", up to and including the unit's "W"
  std::string_view logPower;     // "对数", cut at "dBm"
  std::string_view meterTime;    // "时间", cut at the line end; two-digit year

  // A history slot the meter never wrote carries the time "00/00/00".
  bool IsEmptySlot() const;
};

// The calibration values of one wavelength, from the system parameter listing.
struct ParameterRecord {
  std::string_view wavelength;               // after "波长：", cut at the line end
  std::string_view wavelengthCalibration;    // five bytes behind "系统波长"
  std::array<std::string_view, 8> ranges{};  // "系统量程0" .. "系统量程7", cut at "dBm"
};

// The answer to a setting (clock, wavelength, calibration, measurement mode,
// reset).
struct SettingReply {
  bool success = false;                          // the record holds "成功"
  std::optional<std::string> currentWavelength;  // four bytes behind "当前波长", when present
};

class Reply {
 public:
  explicit Reply(std::string record) : m_text(std::move(record)) {}

  const std::string& Text() const { return m_text; }

  // The measurement layout; nullopt when the record carries no "波".
  std::optional<Reading> AsReading() const;
  // The parameter layout; nullopt when the record carries no "波长：".
  std::optional<ParameterRecord> AsParameters() const;
  SettingReply AsSetting() const;

  // The value the graph takes from a real-time record: six bytes, ten bytes
  // behind the first byte of "对数" (bytes 9 to 14 when the label is missing).
  std::string_view GraphValue() const;

  // Markers that close an exchange.
  bool EndsHistory() const;      // "历史记录调阅结束": the history transfer is complete
  bool EndsListing() const;      // "以上内容为波长代码": the wavelength-code listing is complete
  bool EndsParameters() const;   // "量程7校准": the last calibration line
  bool Succeeded() const;        // "成功": a setting was taken
  // Any of the last three: the command's answer has come.
  bool Completes() const { return Succeeded() || EndsParameters() || EndsListing(); }

 private:
  std::string m_text;
};

}  // namespace meter
