#pragma once
// The main frame's and the table page's host for front ends without windows:
// timers and posts run on an EventLoop, message boxes go to a text sink
// (standard error in the command-line companion), Yes/No questions get a
// preset answer, and the toolbar, status note, tabs and graph posts are kept
// as plain state that the caller can read.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/EventLoop.h"
#include "device/FrameHost.h"
#include "graph/GraphPageState.h"
#include "table/TablePage.h"

class MainFrameLogic;

class LoopFrameHost : public IFrameHost, public ITablePageHost {
 public:
  struct BoxRecord {
    std::string text;
    std::string caption;
    BoxButtons buttons;
  };

  explicit LoopFrameHost(EventLoop& loop) : m_loop(loop) {}

  // The frame logic that timer ticks and the table page's requests go to;
  // it also gets this host's graph page bookkeeping.
  void Attach(MainFrameLogic& logic);
  // Where box texts go, in addition to being recorded.
  void SetBoxSink(std::function<void(const BoxRecord&)> sink) { m_boxSink = std::move(sink); }
  // The answer every Yes/No question gets.
  void SetYesNoAnswer(BoxAnswer answer) { m_yesNoAnswer = answer; }

  // IFrameHost
  void StartTimer(int id, int periodMs) override;
  void KillTimer(int id) override;
  void Post(std::function<void()> fn) override { m_loop.Post(std::move(fn)); }
  BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                       BoxButtons buttons) override;
  void SetStatusNote(const std::string& text) override { m_strStatusNote = text; }
  void SetLinkImage(int image) override { m_nLinkImage = image; }
  void SetRealTimeButton(bool running) override { m_bRealTimeButtonRunning = running; }
  void SetSaveButtonImage(int image) override { m_nSaveImage = image; }
  int TabCount() override { return static_cast<int>(m_tabs.size()); }
  void DeleteTab(int index) override;
  void InsertTab(int index, const std::string& caption) override;
  void SelectTab(int index) override { m_nSelectedTab = index; }
  void ShowPage(int page) override { m_nShownPage = page; }
  void PostGraphClear() override;
  void PostGraphUpdate(const std::string& valueText) override;
  void RunSettingsDialog(int kind) override { (void)kind; }

  // ITablePageHost
  void ShowNotice(const std::string& text, const std::string& caption) override;
  void RunSetClockAgain() override {}
  void NotifyWavelengthDialog(int kind) override { (void)kind; }
  void ScrollToRow(int row) override { (void)row; }
  void ShowError(const std::string& text, const std::string& caption) override;
  void SetStatusText(const std::string& text) override { m_strStatusNote = text; }
  void StopRealTimeReading() override;
  GraphPageState* GraphState() override { return &m_graph; }
  void PostGraphUpdate() override;

  // What the window would show.
  const std::vector<BoxRecord>& Boxes() const { return m_boxes; }
  const std::string& StatusNote() const { return m_strStatusNote; }
  int LinkImage() const { return m_nLinkImage; }
  bool RealTimeButtonRunning() const { return m_bRealTimeButtonRunning; }
  int SaveImage() const { return m_nSaveImage; }
  const std::vector<std::string>& Tabs() const { return m_tabs; }
  int SelectedTab() const { return m_nSelectedTab; }
  int ShownPage() const { return m_nShownPage; }
  int GraphClears() const { return m_nGraphClears; }
  // The live values since the last clear, at most the kMaxGraphValues latest.
  const std::deque<std::string>& GraphValues() const { return m_graphValues; }
  bool TimerRunning(int id) const { return m_loop.IsTimerRunning(id); }
  const GraphPageState& Graph() const { return m_graph; }

  // The graph has at most as many rows as a file may give it values (1000):
  // older live values are of no use to it.
  static constexpr size_t kMaxGraphValues = GraphPageState::kMaxFileValues;

 private:
  EventLoop& m_loop;
  MainFrameLogic* m_pLogic = nullptr;
  std::function<void(const BoxRecord&)> m_boxSink;
  BoxAnswer m_yesNoAnswer = BoxAnswer::No;

  std::vector<BoxRecord> m_boxes;
  std::string m_strStatusNote;
  int m_nLinkImage = 15;
  bool m_bRealTimeButtonRunning = false;
  int m_nSaveImage = 10;
  std::vector<std::string> m_tabs;
  int m_nSelectedTab = 0;
  int m_nShownPage = 0;
  int m_nGraphClears = 0;
  std::deque<std::string> m_graphValues;
  GraphPageState m_graph;
};
