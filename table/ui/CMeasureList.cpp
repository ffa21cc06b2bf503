#include "table/ui/CMeasureList.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "table/CellEdit.h"

namespace {

// Where the highlight starts inside the cell, where the text starts, and the
// width that stands for an empty text.
constexpr int kHighlightInset = 4;
constexpr int kTextInset = 6;
constexpr int kEmptyTextWidth = 41;

// Every cell drawn by the list's rules, and the in-place edit box.
class CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(CMeasureList* list) : QStyledItemDelegate(list), m_list(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect cell = option.rect;
    // Trailing blanks are kept for the files, not drawn.
    QString text = index.data(Qt::DisplayRole).toString();
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    const QFontMetrics& fm = option.fontMetrics;
    const int w = text.isEmpty() ? kEmptyTextWidth : fm.horizontalAdvance(text);
    // From 4 pixels inside the cell to 4 pixels past the text's end, which
    // starts 6 pixels in: the text's width and 6 more, never past the cell.
    const int left = cell.left() + kHighlightInset;
    const int right = std::min(cell.left() + kTextInset + w + kHighlightInset, cell.right() + 1);
    const QRect highlight(left, cell.top(), std::max(0, right - left), cell.height());
    QColor textColour = option.palette.color(QPalette::Text);
    painter->save();
    if (m_list->m_bClicked && index.row() == m_list->m_nCellRow &&
        index.column() == m_list->m_nCellColumn) {
      if (m_list->m_bCellSelected) {
        painter->fillRect(highlight, option.palette.color(QPalette::Highlight));
        textColour = option.palette.color(QPalette::HighlightedText);
      }
      QStyleOptionFocusRect focus;
      focus.rect = highlight;
      focus.palette = option.palette;
      focus.backgroundColor = option.palette.color(QPalette::Highlight);
      m_list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_list);
    }
    painter->setPen(textColour);
    const QRect textRect = cell.adjusted(kTextInset, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      fm.elidedText(text, Qt::ElideRight, textRect.width()));
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    return new QLineEdit(parent);
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    // Over the edited cell, 4 pixels inside its left edge.
    editor->setGeometry(option.rect.adjusted(kHighlightInset, 0, 0, 0));
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QLineEdit*>(editor)->setText(index.data(Qt::DisplayRole).toString());
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    const std::string typed = static_cast<QLineEdit*>(editor)->text().toStdString();
    const celledit::Verdict verdict = celledit::Check(index.column(), typed, m_list->Chinese());
    if (verdict.gbk) {
      model->setData(index, QString::fromStdString(typed), Qt::EditRole);
    } else {
      // The box comes once the edit box has closed, so the old text stays and
      // the operator edits again.
      QPointer<CMeasureList> list = m_list;
      const QString text = QString::fromStdString(verdict.refusal);
      QMetaObject::invokeMethod(
          m_list,
          [list, text] {
            if (!list) return;
            QMessageBox box(QMessageBox::Warning, QString::fromUtf8(celledit::kCaption), text,
                            QMessageBox::Ok, list);
            if (list->Chinese()) box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
            box.exec();
          },
          Qt::QueuedConnection);
    }
    m_list->ResetSelectionIfPointerOutside();
  }

 private:
  CMeasureList* m_list;
};

}  // namespace

CMeasureList::CMeasureList(QWidget* parent) : QTableView(parent) {
  // The list's own selection is not used: the selected cell is this class's.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new CellDelegate(this));
}

QLineEdit* CMeasureList::EditBox() const {
  if (state() != QAbstractItemView::EditingState) return nullptr;
  return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void CMeasureList::mousePressEvent(QMouseEvent* event) {
  m_bClicked = true;
  const QModelIndex hit = indexAt(event->position().toPoint());
  if (hit.isValid()) {
    QTableView::mousePressEvent(event);
    if (m_bCellSelected && hit.row() == m_nCellRow && hit.column() == m_nCellColumn) {
      // A second click on the selected cell.
      const bool parameters = m_parameterView && m_parameterView();
      if (celledit::Editable(hit.column(), parameters)) {
        setCurrentIndex(hit);
        edit(hit, QAbstractItemView::AllEditTriggers, event);
      }
      return;
    }
    m_nCellRow = hit.row();
    m_nCellColumn = hit.column();
    m_bCellSelected = true;
  } else {
    if (!EditBox()) m_bCellSelected = false;
    QTableView::mousePressEvent(event);
  }
  viewport()->update();
}

void CMeasureList::focusInEvent(QFocusEvent* event) {
  // Gaining the focus changes nothing: no cell is selected by it.
  event->accept();
}

void CMeasureList::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  if (PointerInside()) return;
  if (!QApplication::focusWidget()) return;
  ResetSelection();
  viewport()->update();
}

void CMeasureList::ResetSelectionIfPointerOutside() {
  if (!PointerInside()) ResetSelection();
}

void CMeasureList::ResetSelection() {
  m_nCellRow = -1;
  m_nCellColumn = -1;
  m_bClicked = false;
  m_bCellSelected = false;
}

bool CMeasureList::PointerInside() const { return rect().contains(mapFromGlobal(QCursor::pos())); }
