#pragma once
// What the meter service asks of the person in front of the program: message
// boxes, file choices and the settings dialogs. The windowed program shows
// real dialogs; the window-less front ends answer from their arguments and
// print the boxes.
#include <optional>
#include <string>

#include "app/UnsavedWork.h"
#include "common/DataKind.h"
#include "settings/SettingsCommands.h"

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };
// The answer to the question before unsaved rows are replaced.
enum class SaveChoice { Save, Discard, Cancel };

// What the export dialog gives: the path and the filter entry chosen (from 0).
struct ExportChoice {
  std::string path;
  int filterIndex = 0;
};

class IPrompter {
 public:
  virtual ~IPrompter() = default;

  // A modal message box (UTF-8 texts). Blocks the handler until answered.
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                               BoxButtons buttons) = 0;

  // The standard save dialog: no default extension, no initial name. `filter`
  // is a list of description|pattern pairs ending with "|", e.g.
  // " (*.ref)|*.ref|". The program asks before replacing a file itself, so
  // the dialog must not. nullopt when the operator cancels.
  virtual std::optional<std::string> AskSavePath(const std::string& filter) = 0;
  // The standard open dialog with such a filter. nullopt on cancel.
  virtual std::optional<std::string> AskOpenPath(const std::string& filter) = 0;

  // The export dialog: the standard save dialog with that filter, no default
  // extension, no initial name; it asks itself before replacing a file.
  // nullopt on cancel (also where no dialog can be shown).
  virtual std::optional<ExportChoice> AskExportPath(const std::string& filter) {
    (void)filter;
    return std::nullopt;
  }
  // A Yes/No question whose default button is No.
  virtual BoxAnswer AskYesNoDefaultNo(const std::string& text, const std::string& caption) {
    return MessageBox(text, caption, BoxButtons::YesNo);
  }
  // Save / Discard / Cancel before unsaved rows are replaced or emptied;
  // Cancel is the default button. Front ends that cannot ask keep the rows.
  virtual SaveChoice AskSaveDiscardCancel(const unsaved::Question& question) {
    (void)question;
    return SaveChoice::Cancel;
  }
  // A box with the error icon and one OK button.
  virtual void ErrorBox(const std::string& text, const std::string& caption) {
    MessageBox(text, caption, BoxButtons::Ok);
  }
  // The wait cursor, shown while a long step blocks the window.
  virtual void ShowWaitCursor(bool on) { (void)on; }

  // Runs a settings dialog modally (Clock, Wavelength, Calibration or Mode)
  // and gives what the operator chose; nullopt when the dialog was cancelled.
  virtual std::optional<settings::Choice> AskSetting(DataKind kind) = 0;
};
