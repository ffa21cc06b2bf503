#include "settings/SettingsCommands.h"

#include "common/TextRules.h"

namespace settings {

namespace {

// Reads exactly `width` digits at `pos`.
std::optional<int> Digits(std::string_view text, size_t pos, size_t width) {
  if (pos + width > text.size()) return std::nullopt;
  int value = 0;
  for (size_t i = pos; i < pos + width; ++i) {
    if (!text::IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<int> ParseCalibrationField(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(' ');
  const size_t width = last - first + 1;
  if (width > static_cast<size_t>(kCalibrationFieldDigits)) return std::nullopt;
  return Digits(text, first, width);
}

std::optional<CalibrationValue> ParseCalibrationValue(std::string_view text) {
  if (text.empty() || (text[0] != '+' && text[0] != '-')) return std::nullopt;
  const size_t point = text.find('.');
  if (point == std::string_view::npos || point < 2 || point > 3) return std::nullopt;
  if (text.size() != point + 3) return std::nullopt;
  const std::optional<int> integer = Digits(text, 1, point - 1);
  const std::optional<int> fraction = Digits(text, point + 1, 2);
  if (!integer || !fraction) return std::nullopt;
  return CalibrationValue{text[0] == '+', *integer, *fraction};
}

std::optional<ClockFields> ParseClockTime(std::string_view text) {
  // YYYY-MM-DD HH:MM:SS
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2),
             second = Digits(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*year < 2000 || *year > 2099 || *month < 1 || *month > 12 || *day < 1 ||
      *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  return ClockFields{*year, *month, *day, *hour, *minute, *second};
}

bool SentAtOnce(const Choice& choice) { return std::holds_alternative<ClockFields>(choice); }

}  // namespace settings
