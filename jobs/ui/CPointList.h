#pragma once
// The job panel's point list. Columns can be frozen at its two edges: the
// first and the last ones stay in view, drawn over the list's own, while the
// columns between them scroll when they do not all fit the list's width. The
// frozen columns share the list's rows, selection and vertical scrolling, and
// take no focus of their own: the list is one Tab stop.
#include <QTableWidget>

class QTableView;

class CPointList : public QTableWidget {
  Q_OBJECT

 public:
  explicit CPointList(QWidget* parent);

  // Freezes the first `leading` and the last `trailing` columns.
  void Freeze(int leading, int trailing);

  // A column scrolled to comes out from under the frozen ones.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 protected:
  void updateGeometries() override;

 private:
  struct Edge {
    QTableView* view = nullptr;
    int first = 0;
    int count = 0;
  };
  QTableView* MakeEdgeView();
  // Shows each frozen edge over the list while the columns scroll, else
  // hides it: the list then shows every column itself.
  void PlaceEdges();
  void PlaceEdge(const Edge& edge, bool atRight, bool scrolls);
  int EdgeWidth(const Edge& edge) const;

  Edge m_leading;
  Edge m_trailing;
};
