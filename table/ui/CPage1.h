#pragma once
// The table page window: one report-style list showing the rows of the page's
// TablePage, and the answers the page needs from its surroundings (the success
// notice, the closing scroll, and the file commands' dialogs).
#include <QWidget>
#include <optional>
#include <string>

#include "app/FrameTexts.h"
#include "table/TablePage.h"

class QTableView;
class TableModelAdapter;

class CPage1 : public QWidget, public ITablePageHost {
  Q_OBJECT

 public:
  // The page object; its window is made by Create (the view's page timer).
  CPage1(const FrameTexts& texts, QWidget* parent);
  ~CPage1() override;

  // Window creation and initialisation: the list with grid lines and
  // full-row single selection, the columns of the current layout.
  void Create();
  bool IsCreated() const { return m_list != nullptr; }

  TablePage& Page() { return m_page; }
  QTableView* List() const { return m_list; }

  // ITablePageHost
  void ShowNotice(const std::string& text, const std::string& caption) override;
  void RunSetClockAgain() override;
  void NotifyWavelengthDialog(int kind) override;
  void ScrollToRow(int row) override;
  std::optional<std::string> AskSavePath(const std::string& filter) override;
  std::optional<std::string> AskOpenPath(const std::string& filter) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void ShowError(const std::string& text, const std::string& caption) override;
  void SetStatusText(const std::string& text) override;
  void StopRealTimeReading() override;
  int TabCount() override;
  void DeleteTab(int index) override;
  void InsertTab(int index, const std::string& caption) override;
  void SelectTab(int index) override;
  GraphPageState* GraphState() override;
  void PostGraphClear() override;
  void PostGraphUpdate() override;

  // A file-dialog filter of description|pattern pairs, each ending with "|",
  // in the toolkit's form: "Data (*.ref);;..." (a description that already
  // names its pattern in brackets stays as it is).
  static QString DialogFilter(const std::string& filter);

 private:
  void ApplyColumnWidths();
  void ScrollToPendingRow();

  TablePage m_page;
  QTableView* m_list = nullptr;
  TableModelAdapter* m_adapter = nullptr;
  // The closing step's scroll, made once per turn of the event loop.
  int m_nScrollRow = -1;
  bool m_bScrollPending = false;
};

extern CPage1* g_pPage1;
