#pragma once
// A host for the main frame's logic in unit tests: timers are fired by hand,
// posted work runs when the test says so, message boxes are recorded and
// Yes/No questions get scripted answers. Nothing sleeps.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/FrameHost.h"
#include "device/MainFrameLogic.h"
#include "graph/GraphPageState.h"
#include "table/TablePage.h"

class FakeFrameHost : public IFrameHost, public ITablePageHost {
 public:
  struct Box {
    std::string text;
    std::string caption;
    BoxButtons buttons;
  };

  MainFrameLogic* logic = nullptr;

  // Timers that run now: id -> period.
  std::map<int, int> timers;
  int timerStarts = 0;

  std::vector<Box> boxes;
  std::deque<BoxAnswer> answers;  // for Yes/No boxes; No when none is left

  std::string statusNote = "(unset)";
  int linkImage = toolbar_image::kLinkStart;
  std::optional<bool> realTimeButtonRunning;  // unset: never touched
  std::optional<int> saveImage;
  std::vector<std::string> tabs{"Text data", "Graphic data"};
  int selectedTab = 0;
  int shownPage = 0;
  int graphClears = 0;
  std::vector<std::string> graphValues;
  std::vector<std::string> notices;
  GraphPageState graph;

  // IFrameHost
  void StartTimer(int id, int periodMs) override {
    timers[id] = periodMs;
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
  BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                       BoxButtons buttons) override {
    boxes.push_back({text, caption, buttons});
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers.empty()) return BoxAnswer::No;
    const BoxAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void SetStatusNote(const std::string& text) override { statusNote = text; }
  void SetLinkImage(int image) override { linkImage = image; }
  void SetRealTimeButton(bool running) override { realTimeButtonRunning = running; }
  void SetSaveButtonImage(int image) override { saveImage = image; }
  int TabCount() override { return static_cast<int>(tabs.size()); }
  void DeleteTab(int index) override {
    if (index >= 0 && index < TabCount()) tabs.erase(tabs.begin() + index);
  }
  void InsertTab(int index, const std::string& caption) override {
    if (index > TabCount()) index = TabCount();
    tabs.insert(tabs.begin() + index, caption);
  }
  void SelectTab(int index) override { selectedTab = index; }
  void ShowPage(int page) override { shownPage = page; }
  void PostGraphClear() override {
    Post([this] { ++graphClears; });
  }
  void PostGraphUpdate(const std::string& valueText) override {
    Post([this, valueText] { graphValues.push_back(valueText); });
  }
  void RunSettingsDialog(int) override {}

  // ITablePageHost
  void ShowNotice(const std::string& text, const std::string&) override { notices.push_back(text); }
  void RunSetClockAgain() override {}
  void NotifyWavelengthDialog(int) override {}
  void ScrollToRow(int) override {}
  GraphPageState* GraphState() override { return &graph; }
  void PostGraphUpdate() override {}

  // Runs a timer's tick as the window would.
  bool Fire(int id) {
    if (!timers.count(id)) return false;
    logic->OnTimer(id);
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

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> t;
    for (const Box& b : boxes) t.push_back(b.text);
    return t;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_posted;
  std::deque<std::function<void()>> m_posts;
};
