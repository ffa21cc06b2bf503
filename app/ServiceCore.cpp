// The bottom of the meter service: what it shows and the guards every
// command checks: the boxes, the status and link panes, the state the view is
// told, the table's document and its unsaved mark. The link, the reading
// commands and the files all use these; these use none of them.
#include "app/ServiceCore.h"

#include <string>
#include <utility>

#include "app/StatusPane.h"

ServiceCore::ServiceCore(IRuntime& runtime, IPrompter& prompter, ReadingSession& session, TablePage& table,
                         GraphPage& graph, FrameTexts texts, std::string languageValue)
    : m_runtime(runtime),
      m_prompter(prompter),
      m_table(table),
      m_graph(graph),
      m_feed(table, graph),
      m_graphFollower(runtime, graph, m_feed),
      m_texts(std::move(texts)),
      m_strLanguage(std::move(languageValue)),
      m_language(lang::Resolve(m_strLanguage)),
      m_session(session) {
  m_state.statusNote = m_texts.m_strNotConnected;
  m_state.linkNote = m_state.linkTip = statuspane::NotConnected(PaneChinese());
  // The operator's cell edits are the table's own, until a file holds them.
  m_table.SetEditListener([this] { MarkUnsaved(); });
}

ServiceCore::~ServiceCore() {
  m_table.SetEditListener(nullptr);
}

void ServiceCore::Box(const std::string& text) {
  m_prompter.MessageBox(text, m_texts.m_strMsgCaption, BoxButtons::Ok);
}

bool ServiceCore::AskYesNo(const std::string& text, const std::string& caption) {
  return m_prompter.MessageBox(text, caption, BoxButtons::YesNo) == BoxAnswer::Yes;
}

bool ServiceCore::CheckConnected() {
  if (m_session.Connected()) return true;
  Box(m_texts.m_strConnectFirst);
  return false;
}

bool ServiceCore::CheckNoHistory() {
  if (!m_session.History()) return true;
  Box(m_texts.m_strWaitHistory);
  return false;
}

void ServiceCore::PostSelf(std::function<void()> fn) {
  m_life.Post(m_runtime, std::move(fn));
}

// The link pane speaks the menus' language: Chinese also where the language
// matches none.
bool ServiceCore::PaneChinese() const { return !m_language || m_texts.m_bChinese; }

statuspane::Port ServiceCore::CurrentPort() const {
  return {m_session.ConnectedPortName(), m_session.ConnectedPort()};
}

void ServiceCore::SetLinkPane(const std::string& note, bool tip) {
  m_state.linkNote = note;
  if (tip) m_state.linkTip = note;
  ShowState();
}

void ServiceCore::PostStatus(const std::string& text) {
  m_strStatusText = text;
  PostSelf([this, text] {
    m_state.statusNote = text;
    ShowState();
  });
}

void ServiceCore::ShowState() {
  if (m_viewSink) m_viewSink->Show(m_state);
}

void ServiceCore::ShowTable(TableContent content) {
  if (m_viewSink) m_viewSink->ShowTable(content);
}

void ServiceCore::SetLinkLamp(LinkLamp lamp) {
  m_state.lamp = lamp;
  ShowState();
}

void ServiceCore::SetRealTimeButton(bool running) {
  if (!running) TellLiveStopped(false);
  m_state.realTime = running;
  ShowState();
}

void ServiceCore::SetSaveAfter(SaveAfter after) {
  m_state.saveAfter = after;
  ShowState();
}

void ServiceCore::TellTableReplaced() {
  m_feed.TableReplaced();
  ClearTableNote();
}

void ServiceCore::TellLiveStopped(bool lost) { m_feed.ReadFinished(lost); }

void ServiceCore::ClearTableNote() {
  // What the link pane said about the data shown (a history read's count)
  // goes with that data; the pane says what it says about the link again.
  if (m_state.linkNote != m_state.linkTip) SetLinkPane(m_state.linkTip, false);
}

void ServiceCore::MarkUnsaved() {
  if (m_state.unsaved) return;
  m_state.unsaved = true;
  ShowState();
}

void ServiceCore::SetDocument(const std::string& fileName, bool unsaved) {
  if (m_state.fileName == fileName && m_state.unsaved == unsaved) return;
  m_state.fileName = fileName;
  m_state.unsaved = unsaved;
  ShowState();
}
