#pragma once
// The field readout's texts (UTF-8) in Chinese and English: the added table
// columns of km360r-cli, the readout panel, its dialogs and its menu entries.
#include <optional>
#include <string>

#include "common/Language.h"
#include "field/VerdictWords.h"

namespace field {

struct FieldTexts {
  // Columns km360r-cli adds to real-time rows.
  std::string colRelative;  // "Relative (dB)"
  std::string colResult;    // "Result"
  // The panel.
  std::string wavelength;   // "Wavelength"
  std::string count, min, max, mean, span;
  std::string reference;    // "Reference"
  std::string relative;     // "Relative"
  std::string noReading;    // the big value before the first reading
  std::string setReference, clearReference, limits, resetStatistics;
  // The reference and limits dialogs.
  std::string referenceTitle, useLatest, typedValue;
  std::string limitsTitle, limitsHint, relativeRow, presets, low, high, ok, cancel;
  // Menu entries.
  std::string viewMenu;       // the View menu
  std::string showPanel;      // its entry
  std::string logReadings;    // the File menu's toggle, "Log readings to file…"
  std::string logFilter;      // the file dialog's filter, "CSV files (*.csv)"
  std::string logFailed;      // "Cannot write the log: "
  std::string logReopened;    // the log file was deleted or replaced, a new one begun: path follows
  // Under a value that is no longer live, before the time of day.
  std::string stoppedAt;      // "stopped at "
  std::string lostAt;         // "lost at "
  // Beside the verdict of a test job, before its profile's name.
  std::string judgedBy;       // "Job profile: "
  VerdictWords verdicts;


  // Chinese for languages 0 and 2, English otherwise.
  static FieldTexts For(std::optional<lang::Index> index);
};

}  // namespace field
