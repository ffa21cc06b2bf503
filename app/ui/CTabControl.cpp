#include "app/ui/CTabControl.h"

#include <QResizeEvent>
#include <QTabBar>

namespace {

// Runs `fn` with the strip's selection notices marked as coming from code.
template <typename Fn>
auto FromCode(bool& flag, Fn&& fn) {
  const bool previous = flag;
  flag = true;
  auto result = fn();
  flag = previous;
  return result;
}

}  // namespace

CTabControl::CTabControl(QWidget* parent) : QWidget(parent), m_pStrip(new QTabBar(this)) {
  m_pStrip->setExpanding(false);
  m_pStrip->setDrawBase(true);
  m_pStrip->setUsesScrollButtons(true);
  m_pStrip->setElideMode(Qt::ElideNone);
  m_pStrip->setFixedHeight(kStripHeight);
  // Tabs fit the strip above the pages: a light card for each item, the
  // selected one joined to the page below it.
  m_pStrip->setStyleSheet(QStringLiteral(
      "QTabBar { background: transparent; }"
      "QTabBar::tab { background: #eceff3; color: #3a4350; border: 1px solid #c5ccd6;"
      "  border-bottom: none; border-top-left-radius: 4px; border-top-right-radius: 4px;"
      "  padding: 0px 18px; margin-right: 2px; min-width: 56px; height: %1px; }"
      "QTabBar::tab:selected { background: #ffffff; color: #1f5fb4; border-color: #aeb8c5; }"
      "QTabBar::tab:!selected:hover { background: #e2eaf5; }")
                              .arg(kStripHeight - 1));
  connect(m_pStrip, &QTabBar::currentChanged, this, [this](int) {
    if (!m_bFromCode) emit SelectionChanged();
  });
}

int CTabControl::GetItemCount() const { return m_pStrip->count(); }

int CTabControl::GetCurSel() const { return m_pStrip->currentIndex(); }

void CTabControl::SetCurSel(int index) {
  if (index < 0 || index >= m_pStrip->count()) return;
  FromCode(m_bFromCode, [&] {
    m_pStrip->setCurrentIndex(index);
    return 0;
  });
}

bool CTabControl::DeleteItem(int index) {
  if (index < 0 || index >= m_pStrip->count()) return false;
  m_nReselectAt = index == m_pStrip->currentIndex() ? index : -1;
  return FromCode(m_bFromCode, [&] {
    m_pStrip->removeTab(index);
    return true;
  });
}

int CTabControl::InsertItem(int index, const QString& caption) {
  index = qBound(0, index, m_pStrip->count());
  return FromCode(m_bFromCode, [&] {
    const int at = m_pStrip->insertTab(index, caption);
    if (at == m_nReselectAt) m_pStrip->setCurrentIndex(at);
    m_nReselectAt = -1;
    return at;
  });
}

QString CTabControl::GetItemText(int index) const { return m_pStrip->tabText(index); }

void CTabControl::SetItems(const QStringList& captions) {
  FromCode(m_bFromCode, [&] {
    while (m_pStrip->count() > captions.size()) m_pStrip->removeTab(m_pStrip->count() - 1);
    for (int i = 0; i < captions.size(); ++i) {
      if (i < m_pStrip->count()) {
        if (m_pStrip->tabText(i) != captions[i]) m_pStrip->setTabText(i, captions[i]);
      } else {
        m_pStrip->addTab(captions[i]);
      }
    }
    return 0;
  });
}

void CTabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_pStrip->setGeometry(0, 0, width(), kStripHeight);
}
