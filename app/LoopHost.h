#pragma once
// The frame logic's prompter and view for front ends without windows: message
// boxes go to a text sink (standard error in the command-line companion) and
// are recorded, Yes/No questions get a preset answer, file dialogs are
// cancelled, and the view state is kept for the caller to read. Timers and
// posted work run on an EventLoop.
#include <functional>
#include <string>
#include <vector>

#include "app/Prompter.h"
#include "app/ViewState.h"

class LoopHost : public IPrompter, public IFrameView {
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
  // arguments); without one it is closed at once.
  void RunSettingsDialog(DataKind kind) override {
    if (m_settingsDialog) m_settingsDialog(kind);
  }
  void SetSettingsDialog(std::function<void(DataKind)> handler) {
    m_settingsDialog = std::move(handler);
  }

  // IFrameView
  void Apply(const ViewState& state) override { m_view = state; }

  // What the window would show.
  const std::vector<BoxRecord>& Boxes() const { return m_boxes; }
  const ViewState& View() const { return m_view; }

 private:
  std::function<void(const BoxRecord&)> m_boxSink;
  BoxAnswer m_yesNoAnswer = BoxAnswer::No;
  std::function<void(DataKind)> m_settingsDialog;
  std::vector<BoxRecord> m_boxes;
  ViewState m_view;
};
