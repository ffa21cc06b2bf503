#pragma once
// The job panel's texts (UTF-8) in Chinese and English.
#include <optional>
#include <string>

#include "common/Language.h"
#include "field/VerdictWords.h"
#include "jobs/Verdict.h"

namespace jobs {

struct JobTexts {
  std::string panelTitle;   // the dock's title, "Test job"
  std::string menuEntry;    // the View menu's entry for the panel
  std::string captureEntry; // the menu entry, "Capture(&C)"
  std::string captureButton; // the panel's button, with its key
  std::string newJob, openJob, closeJob, importPoints;
  std::string noJob;        // shown while no job is open
  // The job list of the open dialog.
  std::string colName, colDate, colSite, colPoints, colPass, colMarginal, colFail, colUntested;
  // The new job dialog.
  std::string name, site, operatorName, profile, ok, cancel;
  // The point list.
  std::string colPoint, colVerdict, unitDbm, unitLoss;  // "Point", "Verdict", "dBm", "loss"
  std::string pass, marginal, fail, noLimit;  // the verdict words (field::VerdictWords)
  // The settings row.
  std::string samples;      // "Readings per capture"
  std::string reference;    // "Reference"
  std::string setReference; // "Set from the current reading"
  std::string clearReference;
  std::string noReference;  // "none"
  // The stability indicator and the trend.
  std::string steady, unstable, span, waiting;  // waiting: fewer readings than N
  std::string trendTitle;   // "Last 60 s"
  // Import.
  std::string importTitle, importPattern, importFile, importFilter;
  // What went wrong.
  std::string notLive;      // a capture without real-time reading
  std::string noPoint;      // a capture without a selected point
  std::string storeProblem; // the store refused or failed, reason follows
  std::string stored;       // the status after a capture, point follows
  std::string printReport;  // the panel's button: the job report on a printer
  std::string renameJob;    // the panel's button: "Rename job…"
  std::string textLimits;   // what a name, site, operator and label may hold
  // The full check of the local store: the button, and what it found.
  std::string checkStore, storeSound, storeDamaged;  // storeDamaged: SQLite's finding follows
  bool chinese = false;     // the job report's language follows the panel's
  // Why a capture was not made, and what followed one.
  std::string captureNoJob; // Space or Capture without a job open
  std::string meterLost;    // the meter was lost during real-time reading
  std::string allMeasured;  // after a capture, when every point has a result

  // "P03 not captured: 2 more new readings at 1310 nm are needed …" (no
  // wavelength before the first reading)
  std::string TooFewNewReadings(const std::string& point, int readings, std::optional<int> wavelengthNm) const;
  // "P03 not captured: " and why.
  std::string NotCaptured(const std::string& point, const std::string& why) const;
  // "The results store failed: " and the store's own reason; in Chinese the
  // reason follows in brackets.
  std::string StoreProblem(const std::string& reason) const;
  // "The results store failed: there is no job named …"
  std::string NoSuchJob(const std::string& name) const;
  // "P01 measured again; the earlier result is kept"
  std::string MeasuredAgain(const std::string& point) const;

  std::string VerdictWord(Verdict v) const;

  // Chinese for languages 0 and 2, English otherwise.
  static JobTexts For(std::optional<lang::Index> index);
};

}  // namespace jobs
