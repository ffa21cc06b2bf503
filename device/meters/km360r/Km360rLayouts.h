#pragma once
// Where the KM360R writes each field of its records: the labels and the byte
// offsets behind them. Every field offset of a KM360R record is here and
// nowhere else; each function takes a whole record and hands out views into it.
#include <optional>
#include <string_view>

#include "device/Measurement.h"
#include "device/Record.h"

namespace meters::km360r {

// The measurement layout; none when the record carries no "波".
std::optional<meter::Reading> ReadingOf(std::string_view record);
// The parameter layout; none when the record carries no "波长：".
std::optional<meter::ParameterRecord> ParametersOf(std::string_view record);
// Four bytes behind "当前波长", when the record holds it.
std::optional<std::string_view> CurrentWavelengthOf(std::string_view record);
// Six bytes, ten bytes behind the first byte of "对数" (bytes 9 to 14 when
// the label is missing).
std::string_view GraphValueOf(std::string_view record);
// A history slot the meter never wrote carries the time "00/00/00".
bool EmptySlot(const meter::Reading& reading);

}  // namespace meters::km360r
