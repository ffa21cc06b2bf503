#pragma once
// The settings dialogs' texts (UTF-8) for a language index. Each dialog reads
// config.ini at every opening and takes its texts from here; with no index
// every text is empty and the dialog shows its controls unlabelled.
#include <optional>
#include <string>

#include "common/Language.h"

namespace settings {

struct ClockTexts {
  std::string m_strCaption, m_strOkText, m_strCancelText, m_strDateText, m_strTimeText;
  static ClockTexts For(std::optional<lang::Index> index);
};

struct WavelengthTexts {
  std::string m_strCaption, m_strOkText, m_strCancelText, m_strCurrentText, m_strSelectText;
  static WavelengthTexts For(std::optional<lang::Index> index);
};

struct CalibrationTexts {
  std::string m_strCaption, m_strNote, m_strGroupText, m_strOkText, m_strCancelText,
      m_strCurrentText;
  static CalibrationTexts For(std::optional<lang::Index> index);
};

// Why the calibration dialog keeps OK disabled: the meter has not named its
// current wavelength in time, or named one it does not have. A calibration
// is only ever sent for a wavelength of the meter's own. These are shown in
// English when there is no language index, so the reason is never blank.
struct CalibrationWaitTexts {
  // m_strCheckValue: OK found a field not shown as it is sent; the field now
  // shows it, and the next OK sends it.
  std::string m_strNoAnswer, m_strUnknownWavelength, m_strCheckValue;
  static CalibrationWaitTexts For(std::optional<lang::Index> index);
};

struct ModeTexts {
  std::string m_strCaption, m_strOkText, m_strCancelText, m_strNormalText, m_strReferenceText,
      m_strPromptText;
  static ModeTexts For(std::optional<lang::Index> index);
};

// The message for a calibration field that holds no number, under the
// application title: Chinese for languages 0 and 2 (and without a language),
// English for 1 and 3.
inline constexpr const char* kEnterInteger = "请键入一个整数。";
inline constexpr const char* kEnterIntegerEnglish = "Please enter a whole number.";
inline const char* EnterInteger(std::optional<lang::Index> index) {
  return index && !lang::IsChinese(*index) ? kEnterIntegerEnglish : kEnterInteger;
}

}  // namespace settings
