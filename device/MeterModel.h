#pragma once
// What is the KM360R's own, in one place: how it is probed, the commands it
// takes, how its records are framed, the markers that close an exchange, and
// how a record is read into typed values. The serial session, the port scan
// and the reply assembly take these from here; a second meter is a second
// Model, not edits across the layers above. (The four settings build their
// commands from values in settings::, SettingsCommands.)
#include <optional>
#include <span>
#include <string_view>

#include "common/GbkKeywords.h"
#include "device/Measurement.h"
#include "device/Reply.h"

namespace meter {

struct Commands {
  std::string_view probe;            // asked of every candidate port
  std::string_view realTime;         // one reading, asked once per poll period
  std::string_view history;          // the stored records, up to the history end marker
  std::string_view adValues;         // the AD value listing
  std::string_view wavelengthCodes;  // the wavelength-code listing
  std::string_view parameters;       // the system parameter listing
  std::string_view reset;            // back to the factory settings
};

// How the byte stream is cut into records.
struct Framing {
  char probeAnswer;  // the whole answer to the probe; drops what came before it
  char recordEnd;    // closes every record
};

// The texts that close an exchange when a record holds them, and those that
// tell a setting's answer from the rest.
struct Markers {
  std::string_view historyEnd;     // the history transfer is complete
  std::string_view listingEnd;     // the wavelength-code listing is complete
  std::string_view parametersEnd;  // the last calibration line
  std::string_view success;        // a setting was taken
  // A setting was refused; looked for before `success`, which a refusal may
  // contain.
  std::span<const std::string_view> refusals;
  // A reading carries its power under it; a record holding it answers no
  // setting, whatever else it holds.
  std::string_view reading;
};

struct Model {
  std::string_view name;
  Commands commands;
  Framing framing;
  Markers markers;
  // A record read into typed values, once.
  std::optional<Measurement> (*measurement)(const Reply&);
  std::optional<ParameterRecord> (*parameters)(const Reply&);
  SettingReply (*setting)(const Reply&);
};

// Both refusing answers the KM360R has contain "成功" ("设置不成功",
// "设置失败(未成功)").
inline constexpr std::string_view kKm360rRefusals[] = {gbk::kFailure, gbk::kNotSuccess};

inline constexpr Model kKm360r{
    "KM360R",
    {"?\r", "D\r", "H\r", "A\r", "B\r", "R\r", "I\r"},
    {'?', '$'},
    {gbk::kHistoryEnd, gbk::kWavelengthCodesEnd, gbk::kRange7Cal, gbk::kSuccess, kKm360rRefusals,
     gbk::kLog},
    &MeasurementOf,
    [](const Reply& r) { return r.AsParameters(); },
    [](const Reply& r) { return r.AsSetting(); },
};

}  // namespace meter
