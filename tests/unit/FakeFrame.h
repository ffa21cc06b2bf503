#pragma once
// The meter service and the window's presenter against a fake window for unit tests: timers are fired by
// hand, posted work runs when the test says so, message boxes are recorded
// and Yes/No questions get scripted answers. Nothing sleeps.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/FramePresenter.h"
#include "app/MeterService.h"
#include "app/Station.h"
#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "graph/GraphPage.h"
#include "table/TablePage.h"
#include "tests/unit/TestText.h"

class FakeRuntime : public IRuntime {
 public:
  struct Timer {
    int periodMs;
    std::function<void()> tick;
  };
  std::map<int, Timer> timers;  // the timers that run now
  int timerStarts = 0;

  void StartTimer(int id, int periodMs, std::function<void()> tick) override {
    timers[id] = {periodMs, std::move(tick)};
    ++timerStarts;
  }
  void KillTimer(int id) override { timers.erase(id); }
  void Post(std::function<void()> fn) override {
    {
      std::lock_guard lock(m_mutex);
      m_posts.push_back(std::move(fn));
    }
    m_posted.notify_all();
  }

  bool Running(int id) const { return timers.count(id) != 0; }
  int Period(int id) const { return timers.at(id).periodMs; }
  // Runs a timer's tick as the window would; false when it does not run.
  bool Fire(int id) {
    const auto it = timers.find(id);
    if (it == timers.end()) return false;
    const std::function<void()> tick = it->second.tick;  // the tick may restart or kill it
    tick();
    return true;
  }

  // Runs posted work, including work posted meanwhile, until none is left.
  int RunPosts() {
    int n = 0;
    for (;;) {
      std::function<void()> fn;
      {
        std::lock_guard lock(m_mutex);
        if (m_posts.empty()) return n;
        fn = std::move(m_posts.front());
        m_posts.pop_front();
      }
      fn();
      ++n;
    }
  }
  // For work posted by another thread (the port scan): waits until something
  // is posted. The bound only guards against a hang.
  bool WaitForPost(int boundMs = 10000) {
    std::unique_lock lock(m_mutex);
    return m_posted.wait_for(lock, std::chrono::milliseconds(boundMs),
                             [this] { return !m_posts.empty(); });
  }
  size_t PendingPosts() {
    std::lock_guard lock(m_mutex);
    return m_posts.size();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_posted;
  std::deque<std::function<void()>> m_posts;
};

class FakeWindow : public IPrompter, public IFrameView {
 public:
  struct Box {
    std::string text;
    std::string caption;
    BoxButtons buttons;
    bool defaultNo = false;  // a Yes/No question whose default button is No
  };
  std::vector<Box> boxes;
  std::deque<BoxAnswer> answers;  // for Yes/No boxes; No when none is left
  std::optional<std::string> savePath, openPath;  // what the file dialogs answer
  std::vector<std::string> saveFilters, openFilters;  // the file dialogs shown, by filter
  std::vector<DataKind> settingsDialogs;
  ViewState view;
  int applies = 0;

  BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                       BoxButtons buttons) override {
    boxes.push_back({text, caption, buttons});
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers.empty()) return BoxAnswer::No;
    const BoxAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> AskSavePath(const std::string& filter) override {
    saveFilters.push_back(filter);
    return savePath;
  }
  std::optional<std::string> AskOpenPath(const std::string& filter) override {
    openFilters.push_back(filter);
    return openPath;
  }
  BoxAnswer AskYesNoDefaultNo(const std::string& text, const std::string& caption) override {
    const BoxAnswer a = MessageBox(text, caption, BoxButtons::YesNo);
    boxes.back().defaultNo = true;
    return a;
  }
  std::vector<unsaved::Question> saveQuestions;  // Save / Discard / Cancel questions asked
  std::deque<SaveChoice> saveChoices;            // their answers; Discard when none is left
  SaveChoice AskSaveDiscardCancel(const unsaved::Question& question) override {
    saveQuestions.push_back(question);
    if (saveChoices.empty()) return SaveChoice::Discard;
    const SaveChoice c = saveChoices.front();
    saveChoices.pop_front();
    return c;
  }
  // What the operator chooses in the dialog (and does meanwhile); cancelled at once without.
  std::function<std::optional<settings::Choice>(DataKind)> settingsDialog;
  std::optional<settings::Choice> AskSetting(DataKind kind) override {
    settingsDialogs.push_back(kind);
    return settingsDialog ? settingsDialog(kind) : std::nullopt;
  }
  std::optional<ExportChoice> exportChoice;  // what the export dialog answers
  std::vector<std::string> exportFilters;
  std::vector<Box> errorBoxes;
  std::vector<bool> waitCursor;  // every change of the wait cursor
  std::optional<ExportChoice> AskExportPath(const std::string& filter) override {
    exportFilters.push_back(filter);
    return exportChoice;
  }
  void ErrorBox(const std::string& text, const std::string& caption) override {
    errorBoxes.push_back({text, caption, BoxButtons::Ok});
  }
  void ShowWaitCursor(bool on) override { waitCursor.push_back(on); }
  void Apply(const ViewState& state) override {
    view = state;
    ++applies;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> t;
    for (const Box& b : boxes) t.push_back(b.text);
    return t;
  }
};

// A whole frame: a station (service, pages and a line that is never opened:
// what is sent goes nowhere) on the fake window. Records every completed
// record and completed exchange.
class Frame {
 public:
  explicit Frame(const std::string& language = "1")
      : station(runtime, window, config::Settings{language, {}, {}}),
        texts(station.Texts()),
        table(station.Table()),
        graph(station.Graph()),
        service(station.Service()),
        presenter(service, window) {
    window.view = presenter.View();
    service.Feed().Subscribe([this](const feed::Event& event) {
      if (const auto* arrived = std::get_if<feed::RecordArrived>(&event)) records.push_back(arrived->record.Text());
      if (const auto* exchange = std::get_if<feed::ExchangeDone>(&event)) done.push_back(exchange->what);
    });
  }

  void Feed(const std::string& bytes) {
    service.Meter().Receive(bytes);
  }
  void Connect() { Feed("?"); }
  // Real-time reading started and its first "D\r" handed to the channel.
  void StartRealTime() {
    service.OnReadRealTime();
    runtime.RunPosts();
  }
  bool WatchdogRunning() const { return runtime.Running(TIMER_REPLY_WATCHDOG); }
  int WatchdogPeriod() const { return runtime.Period(TIMER_REPLY_WATCHDOG); }
  bool Polling() const { return runtime.Running(TIMER_POLL); }
  std::vector<std::string> Boxes() const { return window.BoxTexts(); }
  const ViewState& View() const { return window.view; }

  FakeRuntime runtime;
  FakeWindow window;
  Station station;
  const FrameTexts& texts;
  TablePage& table;
  GraphPage& graph;
  MeterService& service;
  FramePresenter presenter;
  std::vector<std::string> records;  // every completed record, in order
  std::vector<meter::Done> done;     // every completed exchange, in order
};
