#pragma once
// The meter service's prompter in the windowed program: message boxes, the
// file dialogs and the settings dialogs, each modal over the main window.
// Chinese windows get Chinese button texts.
#include <QWidget>
#include <optional>
#include <string>

#include "app/Prompter.h"
#include "settings/SettingsLink.h"

class QtPrompter : public IPrompter {
 public:
  // `chineseButtons`: the window's language is a Chinese one.
  QtPrompter(QWidget* window, bool chineseButtons) : m_window(window), m_bChineseButtons(chineseButtons) {}

  // What the settings dialogs ask the meter's current wavelength through: the
  // station's meter service.
  void SetSettingsLink(settings::ISettingsLink* link) { m_link = link; }

  BoxAnswer MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons) override;
  std::optional<std::string> AskSavePath(const std::string& filter) override;
  std::optional<std::string> AskOpenPath(const std::string& filter) override;
  std::optional<ExportChoice> AskExportPath(const std::string& filter) override;
  BoxAnswer AskYesNoDefaultNo(const std::string& text, const std::string& caption) override;
  SaveChoice AskSaveDiscardCancel(const unsaved::Question& question) override;
  void ErrorBox(const std::string& text, const std::string& caption) override;
  void ShowWaitCursor(bool on) override;
  std::optional<settings::Choice> AskSetting(DataKind kind) override;

 private:
  BoxAnswer AskBox(const std::string& text, const std::string& caption, BoxButtons buttons, bool defaultNo);

  QWidget* m_window;
  bool m_bChineseButtons;
  settings::ISettingsLink* m_link = nullptr;
};
