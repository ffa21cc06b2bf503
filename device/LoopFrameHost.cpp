#include "device/LoopFrameHost.h"

#include "device/MainFrameLogic.h"

void LoopFrameHost::Attach(MainFrameLogic& logic) {
  m_pLogic = &logic;
  logic.AttachGraphPage(&m_graph);
}

void LoopFrameHost::StartTimer(int id, int periodMs) {
  m_loop.StartTimer(id, periodMs, [this, id] {
    if (m_pLogic) m_pLogic->OnTimer(id);
  });
}

void LoopFrameHost::StopRealTimeReading() {
  if (m_pLogic) m_pLogic->StopRealTimeReading();
}

void LoopFrameHost::KillTimer(int id) { m_loop.KillTimer(id); }

BoxAnswer LoopFrameHost::MessageBox(const std::string& text, const std::string& caption,
                                    BoxButtons buttons) {
  m_boxes.push_back({text, caption, buttons});
  if (m_boxSink) m_boxSink(m_boxes.back());
  return buttons == BoxButtons::YesNo ? m_yesNoAnswer : BoxAnswer::Ok;
}

void LoopFrameHost::DeleteTab(int index) {
  if (index >= 0 && index < TabCount()) m_tabs.erase(m_tabs.begin() + index);
}

void LoopFrameHost::InsertTab(int index, const std::string& caption) {
  if (index < 0) return;
  if (index > TabCount()) index = TabCount();
  m_tabs.insert(m_tabs.begin() + index, caption);
}

// The graph posts arrive after the current handler, as they would at the page.
void LoopFrameHost::PostGraphClear() {
  m_loop.Post([this] {
    ++m_nGraphClears;
    m_graphValues.clear();
  });
}

void LoopFrameHost::PostGraphUpdate(const std::string& valueText) {
  m_loop.Post([this, valueText] {
    if (m_graphValues.size() == kMaxGraphValues) m_graphValues.pop_front();
    m_graphValues.push_back(valueText);
  });
}

// An opened file's values are drawn by the graph page from its bookkeeping.
void LoopFrameHost::PostGraphUpdate() {}

void LoopFrameHost::ShowError(const std::string& text, const std::string& caption) {
  MessageBox(text, caption, BoxButtons::Ok);
}

void LoopFrameHost::ShowNotice(const std::string& text, const std::string& caption) {
  MessageBox(text, caption, BoxButtons::Ok);
}
