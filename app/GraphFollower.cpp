#include "app/GraphFollower.h"

#include <utility>

GraphFollower::GraphFollower(IRuntime& runtime, GraphPage& graph, DataFeed& feed)
    : m_runtime(runtime), m_graph(graph), m_feed(feed) {
  m_graph.SetClearPoster([this] { PostClear(); });
  m_subscription = m_feed.Subscribe([this](const feed::Event& event) {
    if (const auto* file = std::get_if<feed::FileOpened>(&event)) OnFileOpened(*file);
  });
}

GraphFollower::~GraphFollower() {
  if (m_subscription) m_feed.Unsubscribe(*m_subscription);
  m_graph.SetClearPoster(nullptr);
}

void GraphFollower::Post(std::function<void()> fn) {
  m_life.Post(m_runtime, std::move(fn));
}

void GraphFollower::PostClear() {
  Post([this] { m_graph.OnGraphClear(); });
}

void GraphFollower::OnFileOpened(const feed::FileOpened& file) {
  using datafile::FileType;
  PostClear();
  if (file.type != FileType::Ref && file.type != FileType::Hif) return;
  m_graph.SetOpenedFile(file.path);
  if (file.type != FileType::Ref) return;
  // A clear of their own draws the file's values (they are in before it
  // runs); the update after it names the file in the status line.
  PostClear();
  m_graph.SetFileValues(file.graphValues);
  Post([this] { m_graph.OnGraphUpdate(); });
}
