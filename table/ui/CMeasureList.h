#pragma once
// The table page's list: a report-style table that selects and highlights
// single cells, draws every cell itself (the selected cell's highlight exactly
// as wide as its text and 6 pixels more), and lets the operator edit the
// number and the description of a measurement row in place with a second
// click on the selected cell.
#include <QTableView>
#include <functional>

class QLineEdit;

class CMeasureList : public QTableView {
  Q_OBJECT

 public:
  explicit CMeasureList(QWidget* parent = nullptr);

  // Whether the table shows system parameters now: nothing is edited then.
  void SetParameterViewQuery(std::function<bool()> query) { m_parameterView = std::move(query); }
  // The language of the list's own refusal texts.
  void SetChinese(bool chinese) { m_bChinese = chinese; }
  bool Chinese() const { return m_bChinese; }
  // The edit box while an edit runs, else nullptr.
  QLineEdit* EditBox() const;

  int m_nCellColumn = -1;       // column of the selected cell
  int m_nCellRow = -1;          // row of the selected cell
  bool m_bCellSelected = false; // a cell is selected (drawn highlighted)
  bool m_bClicked = false;      // clicked since the selection was last reset

  // After an edit ends: the selection goes when the pointer has left the list.
  void ResetSelectionIfPointerOutside();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ResetSelection();
  bool PointerInside() const;

  std::function<bool()> m_parameterView;
  bool m_bChinese = false;
};
