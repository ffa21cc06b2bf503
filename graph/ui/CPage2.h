#pragma once
// The graph page window. It shows its GraphPage's bookkeeping and repaints
// when it changes; the chart that draws it is a separate piece.
#include <QWidget>

#include "graph/GraphPage.h"

class CPage2 : public QWidget {
  Q_OBJECT

 public:
  explicit CPage2(QWidget* parent);
  ~CPage2() override;

  // Window creation and initialisation.
  void Create();
  bool IsCreated() const { return m_bCreated; }

  GraphPage& Page() { return m_page; }

 private:
  GraphPage m_page;
  bool m_bCreated = false;
};
