#pragma once
// What the frame logic asks of the person in front of the program: message
// boxes, file choices and the settings dialogs. The windowed program shows
// real dialogs; the window-less front ends answer from their arguments and
// print the boxes.
#include <optional>
#include <string>

#include "common/DataKind.h"

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

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

  // Runs a settings dialog modally: Clock, Wavelength, Calibration or Mode.
  virtual void RunSettingsDialog(DataKind kind) = 0;
};
