#pragma once
// The graph page window. It receives UM_GRAPH_CLEAR and UM_GRAPH_UPDATE and
// keeps what they bring; the chart that draws it is a separate piece.
#include <QWidget>
#include <optional>
#include <string>

#include "graph/GraphPageState.h"

class CPage2 : public QWidget {
  Q_OBJECT

 public:
  explicit CPage2(QWidget* parent);
  ~CPage2() override;

  // Window creation and initialisation.
  void Create();
  bool IsCreated() const { return m_bCreated; }

  // The bookkeeping the table page and the frame's logic write into.
  GraphPageState& State() { return m_state; }

  // UM_GRAPH_CLEAR: blank the graph.
  void OnGraphClear();
  // UM_GRAPH_UPDATE: a real-time value text (the six bytes cut from the
  // record), or nullopt after an opened file filled the state's file values.
  void OnGraphUpdate(const std::optional<std::string>& valueText);

  // The latest live value text, and how many updates arrived since the last
  // clear.
  const std::string& LatestValueText() const { return m_strValueText; }
  int UpdatesSinceClear() const { return m_nUpdates; }

 private:
  GraphPageState m_state;
  std::string m_strValueText;
  int m_nUpdates = 0;
  bool m_bCreated = false;
};

extern CPage2* g_pPage2;
