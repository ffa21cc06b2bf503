#pragma once
// The meter service's prompter for front ends without windows: message boxes
// go to a text sink (standard error in the command-line companion) and are
// recorded, Yes/No questions get a preset answer, file dialogs are cancelled.
// Timers and posted work run on an EventLoop.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Prompter.h"

class LoopHost : public IPrompter {
 public:
  struct BoxRecord {
    std::string text;
    std::string caption;
    BoxButtons buttons;
  };

  // Where box texts go, in addition to being recorded.
  void SetBoxSink(std::function<void(const BoxRecord&)> sink) { m_boxSink = std::move(sink); }
  // The answer every Yes/No question gets.
  void SetYesNoAnswer(BoxAnswer answer) { m_yesNoAnswer = answer; }

  // IPrompter
  BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                       BoxButtons buttons) override;
  std::optional<std::string> AskSavePath(const std::string&) override { return std::nullopt; }
  std::optional<std::string> AskOpenPath(const std::string&) override { return std::nullopt; }
  // A settings dialog is answered by the handler the front end set (from its
  // arguments); without one it is cancelled at once.
  std::optional<settings::Choice> AskSetting(DataKind kind) override {
    return m_settingsDialog ? m_settingsDialog(kind) : std::nullopt;
  }
  void SetSettingsDialog(std::function<std::optional<settings::Choice>(DataKind)> handler) {
    m_settingsDialog = std::move(handler);
  }

  // The boxes a window would have shown.
  const std::vector<BoxRecord>& Boxes() const { return m_boxes; }

 private:
  std::function<void(const BoxRecord&)> m_boxSink;
  BoxAnswer m_yesNoAnswer = BoxAnswer::No;
  std::function<std::optional<settings::Choice>(DataKind)> m_settingsDialog;
  std::vector<BoxRecord> m_boxes;
};
