#pragma once
// A measurement record read once into what every part of the program wants
// of it: the meter's own texts (the table shows them exactly) and the numbers
// (the graph, the field readout, the live log and the job panel compute with
// them). One record is read once per reading; nobody reads its text again.
//
// The texts are views into the record: a Measurement is valid while the
// Record it was read from (or a copy of it) lives.
#include <optional>
#include <string_view>

namespace meter {

// A measurement as the meter wrote it: a real-time reading, a stored history
// record or an AD value line. Each field is the text of a value as the
// model's layout cuts it (noted: where the KM360R writes it).
struct Reading {
  std::string_view wavelength;   // "波长", cut at "nm"
  std::string_view linearPower;  // "线性", up to and including the unit's "W"
  std::string_view logPower;     // "对数", cut at "dBm"
  std::string_view meterTime;    // "时间", cut at the line end; two-digit year
};

struct Measurement : Reading {
  std::optional<double> dBm;        // the logarithmic power; none when its text is no number
  std::optional<double> linear;     // the linear power's number, in linearUnit
  std::string_view linearUnit;      // what follows that number, e.g. "uW"
  std::optional<int> wavelengthNm;  // none when the wavelength text is no whole number
  // The whole dBm the graph plots: the leading integer of the six bytes behind
  // the "对数" label, as the meter's own display rounds towards zero.
  int plotDbm = 0;
};

// A decimal number with an optional sign, blanks around it allowed; none for
// anything else (the meter writes dashes or words when it has no value).
std::optional<double> ParseNumber(std::string_view text);

// The numbers of texts already cut from a record (or written by hand).
Measurement Measure(const Reading& texts);

}  // namespace meter
