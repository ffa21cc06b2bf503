#pragma once
// The table page's behaviour without its window: the rows the operator sees,
// the column layouts, and what each record from the meter turns into according
// to g_nDataKind. CPage1 (the window) shows a TablePage's model and answers its
// host calls; the command-line companion uses the same object.
//
// Boundary used by the main frame's logic (keep these signatures):
//   TablePage(ITablePageHost&, FrameTexts, std::string languageValue)
//   void ApplyLayout(Layout layout, int descriptionWidth = 200)
//   void DeleteAllRows()
//   void OnRecordReady(const std::string& record)   // UM_RECORD_READY
//   const TableModel& Model() const
#include <string>

#include "app/FrameTexts.h"
#include "table/TableModel.h"

enum class Layout { Measurement, AD, Wavelength, Parameters };

class ITablePageHost {
 public:
  virtual ~ITablePageHost() = default;
  // The page's success notice: a modal box with one OK button (UTF-8 texts).
  virtual void ShowNotice(const std::string& text, const std::string& caption) = 0;
  // A clock reply without success: the main frame's Set clock command runs again.
  virtual void RunSetClockAgain() = 0;
  // UM_WAVELENGTH_UPDATE to the open set-wavelength (kind 5) or calibration
  // (kind 6) dialog, if one is open; g_strCurWavelength holds the text.
  virtual void NotifyWavelengthDialog(int kind) = 0;
  // The closing step: make this row wholly visible.
  virtual void ScrollToRow(int row) = 0;
};
