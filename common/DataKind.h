#pragma once
// What the shown data is, and so how the records that arrive next are read and
// which file type Save writes. Every read or settings command sets it before
// its command goes out. Each kind has a fixed number; 99 is nothing shown.
namespace datakind {

enum class DataKind {
  RealTime = 0,
  History = 1,  // also AD values
  WavelengthCodes = 2,
  Parameters = 3,
  Clock = 4,
  Wavelength = 5,
  Calibration = 6,
  Mode = 7,
  Nothing = 99,
};

}  // namespace datakind

using datakind::DataKind;
