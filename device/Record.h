#pragma once
// One record of the meter (its bytes up to and including the record end),
// read once, where it is framed, into everything it says: a measurement, a
// parameter line, a setting's answer, the exchanges it completes, the end of
// the history. A record can say several of these at once (each parameter line
// also closes the parameter listing), so each part it carries is there.
// Everything after the reading session takes this value; nobody reads the
// record's bytes for meaning again.
//
// A Record is an immutable value, cheap to copy: its copies share the text,
// and the views its parts hand out stay valid while any copy lives.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device/Measurement.h"

namespace meter {

// The calibration values of one wavelength, from the system parameter listing.
struct ParameterRecord {
  std::string_view wavelength;               // the wavelength's text
  std::string_view wavelengthCalibration;    // the wavelength's calibration value
  std::array<std::string_view, 8> ranges{};  // the eight ranges' calibration values
};

// A command's answer is complete.
enum class Done {
  HistoryEnd,     // the history transfer
  ListingEnd,     // the wavelength-code listing
  ParametersEnd,  // the system parameters' last line
  Success,        // a setting or a reset was taken (a refusal may carry it too)
};

// The exchanges a record completes; several may be true at once.
struct Completion {
  bool historyEnd = false;
  bool listingEnd = false;
  bool parametersEnd = false;
  bool success = false;
  // The answer to a listing or a setting has come.
  bool AnswersCommand() const { return success || parametersEnd || listingEnd; }
};

// Whether a record answers a setting, and how.
enum class Answer {
  None,     // not an answer: a reading, a listing, a record with the current
            // wavelength alone; the setting's answer is still to come
  Taken,    // the success marker and no refusal
  Refused,  // a refusal, even where the success marker is part of it
};

class Record {
 public:
  // The parts a model's reader found; `text` is the record they view.
  struct Parts {
    std::string text;
    std::optional<Measurement> measurement;       // the measurement layout, when the record has one
    std::optional<ParameterRecord> parameters;    // the parameter layout, when the record has one
    std::optional<std::string> currentWavelength;  // the meter's current wavelength, when named
    Answer answer = Answer::None;
    Completion completion;
    int plotDbm = 0;  // the whole dBm the graph plots while reading in real time
    bool emptySlot = false;  // a measurement from a history slot the meter never wrote
  };

  // A record that says nothing (no bytes).
  Record() = default;
  // Takes parts whose views point into their own `text`.
  explicit Record(std::unique_ptr<const Parts> parts) : m_parts(std::move(parts)) {}

  const std::string& Text() const { return m_parts->text; }
  const std::optional<Measurement>& AsMeasurement() const { return m_parts->measurement; }
  const std::optional<ParameterRecord>& AsParameters() const { return m_parts->parameters; }
  const std::optional<std::string>& CurrentWavelength() const { return m_parts->currentWavelength; }
  Answer SettingAnswer() const { return m_parts->answer; }
  const Completion& Completes() const { return m_parts->completion; }
  int PlotDbm() const { return m_parts->plotDbm; }
  bool IsEmptySlot() const { return m_parts->emptySlot; }

 private:
  std::shared_ptr<const Parts> m_parts = std::make_shared<const Parts>();
};

}  // namespace meter
