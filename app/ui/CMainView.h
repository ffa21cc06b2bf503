#pragma once
// The main window's client area: a form holding the tab control, with the
// table page (tab 0) and the graph page (tab 1) behind it. The pages come into
// being half a second after the view, once the main window has been shown
// maximised, and from then on fill the view's client area below the tab strip
// whenever its size changes. The frame applies the tab items and the page in
// front; the operator's own choice of a tab is passed on as TabSelected.
//
// The form never scrolls: it takes whatever room the window leaves beside the
// docks, down to a laptop's 1024 x 768, and the pages fit themselves into it
// (the table keeps its own scroll bars). A scrolling form would show empty
// grey, hide the top of the readout and follow the keyboard focus away from
// the tabs.
#include <QWidget>
#include <QTimer>

#include <string>

class CTabControl;
class GraphPage;
class TablePage;
class CTablePageWindow;
class CGraphPageWindow;

// The view's one-shot timer that creates the pages.
inline constexpr int TIMER_CREATE_PAGES = 1;
inline constexpr int kCreatePagesDelayMs = 500;

class CMainView : public QWidget {
  Q_OBJECT

 public:
  // The pages show `table` and `graph`, which outlive the view; the graph
  // page takes its texts from `languageValue` (config.ini's language value).
  CMainView(TablePage& table, GraphPage& graph, const std::string& languageValue,
                      QWidget* parent = nullptr);
  ~CMainView() override;

  // Shows page `page` (0 table, 1 graph) and hides the other. Pages that do
  // not exist yet are left alone: they come with the table page in front.
  void ShowPage(int page);
  bool PagesCreated() const { return m_bPagesCreated; }

  CTabControl* m_tabCtrl;
  CTablePageWindow* m_tablePage;
  CGraphPageWindow* m_graphPage;

 signals:
  void PagesCreatedSignal();
  // The operator selected tab item `index`.
  void TabSelected(int index);

 protected:
  // The client area's resize: the pages follow it.
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreatePages();
  // Puts both pages on the client area less the tab strip.
  void PlacePages();
  void OnSelectionChanged();

  QTimer m_createPagesTimer;
  bool m_bPagesCreated = false;
};
