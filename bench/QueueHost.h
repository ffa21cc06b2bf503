#pragma once
// The host the meter benchmarks build their station on: a runtime that runs
// posted work in batches, as a window's message queue does, and a window that
// asks nothing and shows nothing, so only the reading path is measured.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MeterService.h"
#include "app/Prompter.h"
#include "common/Runtime.h"

class QueueRuntime : public IRuntime {
 public:
  void StartTimer(int, int, std::function<void()>) override {}
  void KillTimer(int) override {}
  void Post(std::function<void()> fn) override { m_queue.push_back(std::move(fn)); }
  void Drain() {
    // Posted work may post more (the table page's record after the graph's).
    while (!m_queue.empty()) {
      std::vector<std::function<void()>> batch;
      batch.swap(m_queue);
      for (auto& fn : batch) fn();
    }
  }

 private:
  std::vector<std::function<void()>> m_queue;
};

class QuietWindow : public IPrompter {
 public:
  BoxAnswer MessageBox(const std::string&, const std::string&, BoxButtons) override {
    return BoxAnswer::Yes;
  }
  // Each run's rows are dropped for the next run.
  SaveChoice AskSaveDiscardCancel(const unsaved::Question&) override { return SaveChoice::Discard; }
  std::optional<std::string> AskSavePath(const std::string&) override { return std::nullopt; }
  std::optional<std::string> AskOpenPath(const std::string&) override { return std::nullopt; }
  std::optional<settings::Choice> AskSetting(DataKind) override { return std::nullopt; }
};
