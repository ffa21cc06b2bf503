#pragma once
// The bottom of the meter service: what it works on and what it shows. It
// holds the references the commands use (the runtime, the prompter, the
// meter's session, the table and graph pages), the data feed with its graph
// follower, the field readout's feed and the job desk, the state the view is
// told (ShownData, ServiceState, the status string), and the small steps
// every command takes: the boxes, the guards, the status and link panes, the
// table's document and its unsaved mark. The file commands, the reading
// commands and the link (MeterService) all build on it; it calls none of
// them, so each change of what is shown is told from one place.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DataFeed.h"
#include "app/GraphFollower.h"
#include "app/Prompter.h"
#include "app/ServiceState.h"
#include "app/StatusPane.h"
#include "common/FrameTexts.h"
#include "common/Language.h"
#include "common/LifeGuard.h"
#include "common/Runtime.h"
#include "device/ReadingSession.h"
#include "field/LiveFeed.h"
#include "graph/GraphPage.h"
#include "jobs/JobDesk.h"
#include "table/TablePage.h"

class ServiceCore {
 public:
  // Keeps the references; `session` is built after the service, so it is
  // only used once the commands run.
  ServiceCore(IRuntime& runtime, IPrompter& prompter, ReadingSession& session, TablePage& table,
              GraphPage& graph, FrameTexts texts, std::string languageValue);
  ~ServiceCore();
  ServiceCore(const ServiceCore&) = delete;
  ServiceCore& operator=(const ServiceCore&) = delete;

  // Who shows the state; nullptr for none.
  void SetView(IServiceView* view) { m_viewSink = view; }

  // What the commands work on.
  IRuntime& Runtime() { return m_runtime; }
  IPrompter& Prompter() { return m_prompter; }
  ReadingSession& Session() { return m_session; }
  const ReadingSession& Session() const { return m_session; }
  TablePage& Table() { return m_table; }
  GraphPage& Graph() { return m_graph; }
  DataFeed& Feed() { return m_feed; }
  field::LiveFeed& Readout() { return m_readout; }
  JobDesk& Jobs() { return m_jobs; }
  const FrameTexts& Texts() const { return m_texts; }
  // The language setting as given, and the language it names (none when it
  // names none).
  const std::string& Language() const { return m_strLanguage; }
  const std::optional<lang::Index>& LanguageNamed() const { return m_language; }

  // What is shown.
  ShownData& Shown() { return m_shown; }
  const ShownData& Shown() const { return m_shown; }
  ServiceState& State() { return m_state; }
  const ServiceState& State() const { return m_state; }
  // The status string: the text of the latest status note posted.
  const std::string& StatusText() const { return m_strStatusText; }

  void MarkUnsaved();
  // The table now shows `fileName` (empty: no file) and is saved or not.
  void SetDocument(const std::string& fileName, bool unsaved);
  // Guard checks; each shows its box when it fails.
  bool CheckConnected();
  bool CheckNoHistory();
  void Box(const std::string& text);
  bool AskYesNo(const std::string& text, const std::string& caption);

  // What is shown: each change is told at once.
  void ShowState();
  void ShowTable(TableContent content);
  void SetLinkLamp(LinkLamp lamp);
  void SetRealTimeButton(bool running);
  void SetSaveAfter(SaveAfter after);
  // Writes `text` into the status string and posts the status note with it.
  void PostStatus(const std::string& text);
  // The link pane (and with `tip` the lamp's tooltip too).
  void SetLinkPane(const std::string& note, bool tip);
  bool PaneChinese() const;
  statuspane::Port CurrentPort() const;
  void TellTableReplaced();
  void TellLiveStopped(bool lost);
  void ClearTableNote();

  // Posts fn to the UI thread; it is dropped if the service is gone by then.
  void PostSelf(std::function<void()> fn);
  // For a closure posted by other means: expired once the service is gone.
  std::weak_ptr<const void> Watch() const { return m_life.Watch(); }
  void PostGraphClear() { m_graphFollower.PostClear(); }

 private:
  IRuntime& m_runtime;
  IPrompter& m_prompter;
  IServiceView* m_viewSink = nullptr;
  TablePage& m_table;
  GraphPage& m_graph;
  DataFeed m_feed;
  GraphFollower m_graphFollower;  // the graph's part of the feed's events
  FrameTexts m_texts;
  std::string m_strLanguage;
  std::optional<lang::Index> m_language;
  ReadingSession& m_session;

  field::LiveFeed m_readout;
  JobDesk m_jobs;

  ShownData m_shown;
  ServiceState m_state;
  std::string m_strStatusText;

  // What the service posts does nothing once the service is gone.
  LifeGuard m_life;
};
