#pragma once
// A table page host for unit tests: records every call in order and answers
// the dialogs from scripted values.
#include <optional>
#include <string>
#include <vector>

#include "app/FrameTexts.h"
#include "app/Gbk.h"
#include "graph/GraphPageState.h"
#include "table/TablePage.h"

struct RecordingTableHost : ITablePageHost {
  std::vector<std::string> calls;
  std::optional<std::string> savePath;
  std::optional<std::string> openPath;
  bool answerYes = false;
  int tabs = 2;
  GraphPageState graph;

  void ShowNotice(const std::string& text, const std::string& caption) override {
    calls.push_back("notice " + text + " | " + caption);
  }
  void RunSetClockAgain() override { calls.push_back("clock again"); }
  void NotifyWavelengthDialog(int kind) override {
    calls.push_back("wavelength " + std::to_string(kind));
  }
  void ScrollToRow(int row) override { calls.push_back("scroll " + std::to_string(row)); }
  std::optional<std::string> AskSavePath(const std::string& filter) override {
    calls.push_back("save dialog" + filter);
    return savePath;
  }
  std::optional<std::string> AskOpenPath(const std::string& filter) override {
    calls.push_back("open dialog" + filter);
    return openPath;
  }
  bool AskYesNo(const std::string& text, const std::string&) override {
    calls.push_back("ask " + text);
    return answerYes;
  }
  void ShowError(const std::string& text, const std::string&) override {
    calls.push_back("error " + text);
  }
  void SetStatusText(const std::string& text) override { calls.push_back("status " + text); }
  void StopRealTimeReading() override { calls.push_back("stop real-time"); }
  int TabCount() override { return tabs; }
  void DeleteTab(int index) override {
    if (index < tabs) --tabs;
    calls.push_back("delete tab " + std::to_string(index));
  }
  void InsertTab(int index, const std::string& caption) override {
    ++tabs;
    calls.push_back("insert tab " + std::to_string(index) + " " + caption);
  }
  void SelectTab(int index) override { calls.push_back("select tab " + std::to_string(index)); }
  GraphPageState* GraphState() override { return &graph; }
  void PostGraphClear() override { calls.push_back("graph clear"); }
  void PostGraphUpdate() override { calls.push_back("graph update"); }

  bool Called(const std::string& call) const {
    for (const std::string& c : calls) {
      if (c == call) return true;
    }
    return false;
  }
  bool CalledStartingWith(const std::string& prefix) const {
    for (const std::string& c : calls) {
      if (c.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }
};

// UTF-8 test text to the meter's GBK bytes.
inline std::string G(const std::string& utf8) { return gbk::FromUtf8(utf8); }
// A table cell back to UTF-8 for comparisons.
inline std::string U(std::string_view gbkBytes) { return gbk::ToUtf8(gbkBytes); }

inline FrameTexts TextsFor(const std::string& language) {
  return FrameTexts::For(lang::Resolve(language));
}
