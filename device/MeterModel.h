#pragma once
// What a meter model is: how its line is opened, how it is probed, the commands it takes, how its
// records are framed, the markers that close an exchange or answer a setting,
// the layouts its records are read by, and the wavelengths and setting
// commands it takes. Each model lives in a folder of its
// own under device/meters/ and is registered in device/meters/Registry; the
// station picks one and hands it down, and nothing else names a model.
//
// ReadRecord reads a record, once, into the typed value everything after the
// reading session takes.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/Measurement.h"
#include "device/Record.h"
#include "device/SerialPort.h"
#include "device/SettingChoice.h"

namespace meter {

struct Commands {
  std::string_view probe;            // asked of every candidate port
  std::string_view realTime;         // one reading, asked once per poll period
  std::string_view history;          // the stored records, up to the history end marker
  std::string_view adValues;         // the AD value listing
  std::string_view wavelengthCodes;  // the wavelength-code listing (its end names the current wavelength)
  std::string_view parameters;       // the system parameter listing
  std::string_view reset;            // back to the factory settings
};

// How the byte stream is cut into records.
struct Framing {
  char probeAnswer;  // the whole answer to the probe; drops what came before it
  char recordEnd;    // closes every record
};

// The texts that close an exchange when a record holds them, and those that
// tell a setting's answer from the rest. A marker left empty is found in no
// record.
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

// Where a record's fields sit. Each takes the whole record and hands out
// views into it; none when the record has no such layout.
struct Layouts {
  std::optional<Reading> (*reading)(std::string_view record);
  std::optional<ParameterRecord> (*parameters)(std::string_view record);
  std::optional<std::string_view> (*currentWavelength)(std::string_view record);
  // The text the graph takes its whole dBm from when the record has no
  // measurement layout.
  std::string_view (*graphValue)(std::string_view record);
  // Whether a stored-history reading is a slot the meter never wrote.
  bool (*emptySlot)(const Reading& reading);
};

// The wavelengths the meter measures at and how its settings are written.
struct Settings {
  // In the order the meter lists them (its wavelength codes' order).
  std::span<const int> wavelengthsNm;
  // The one the set-wavelength list opens on until the meter names its own.
  int presetWavelengthNm;
  // The wavelength the meter's current-wavelength text names; none when it
  // names none of the meter's wavelengths.
  std::optional<int> (*currentWavelengthNm)(std::string_view current);
  // The command that sends `choice`; none when the meter cannot take it (a
  // wavelength it lacks).
  std::optional<std::string> (*command)(const SettingChoice& choice);
};

struct Model {
  std::string_view name;
  LineSettings line;  // how its port is opened
  Commands commands;
  Framing framing;
  Markers markers;
  Layouts layouts;
  Settings settings;
};

// Whether `model` measures at `nm`.
bool HasWavelength(const Model& model, int nm);

// `text` (one framed record, its end included) read by `model`.
Record ReadRecord(const Model& model, std::string text);

}  // namespace meter
