#pragma once
// The form view's tab control: a strip of text tabs over an area in which the
// pages live as child windows. Its operations keep the semantics the commands
// rely on: selecting, deleting or inserting an item from code switches no
// page and raises no selection notice; only the operator's own change of the
// selection (a click or a key on the strip) does.
#include <QWidget>

class QTabBar;

class CTabControl : public QWidget {
  Q_OBJECT

 public:
  // The height of the strip above the pages.
  static constexpr int kStripHeight = 20;

  explicit CTabControl(QWidget* parent = nullptr);

  int GetItemCount() const;
  int GetCurSel() const;  // -1 without items
  void SetCurSel(int index);
  bool DeleteItem(int index);
  int InsertItem(int index, const QString& caption);  // index clipped to 0..count
  QString GetItemText(int index) const;
  // Makes the items read `captions`, left to right: items are relabelled in
  // place (a relabelled selected item stays selected), extra items go from
  // the end and missing ones are added there.
  void SetItems(const QStringList& captions);

  QTabBar* Strip() const { return m_pStrip; }

 signals:
  // The operator changed the selection.
  void SelectionChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* m_pStrip;
  bool m_bFromCode = false;
  // An item deleted while selected: an item inserted at its place takes the
  // selection over, as a relabelled tab keeps being the selected one.
  int m_nReselectAt = -1;
};
