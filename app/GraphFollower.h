#pragma once
// The graph page's side of the data feed. An opened data file reaches the
// chart through the feed's "file opened" event, as the readout and the job
// panel follow the feed; the page's clear and update steps reach it posted
// to the UI thread (a clear, a redraw), so they run after the work that
// asked for them, and not at all once this follower is gone.
#include <memory>
#include <optional>

#include "app/DataFeed.h"
#include "common/LifeGuard.h"
#include "common/Runtime.h"
#include "graph/GraphPage.h"

class GraphFollower {
 public:
  // Subscribes to `feed` and posts for `graph` (a full live graph too asks
  // for its clear here) until it goes.
  GraphFollower(IRuntime& runtime, GraphPage& graph, DataFeed& feed);
  ~GraphFollower();
  GraphFollower(const GraphFollower&) = delete;
  GraphFollower& operator=(const GraphFollower&) = delete;

  // Posts a clear: the chart is wiped once the work queued before it ran.
  void PostClear();

 private:
  // Every opened file wipes the chart; a real-time or history file names
  // itself in the status line, and a real-time file's values are drawn.
  void OnFileOpened(const feed::FileOpened& file);
  void Post(std::function<void()> fn);

  IRuntime& m_runtime;
  GraphPage& m_graph;
  DataFeed& m_feed;
  std::optional<DataFeed::Token> m_subscription;
  LifeGuard m_life;  // what it posts does nothing once it is gone
};
