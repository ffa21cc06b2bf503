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
  m_pStrip->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 0px 14px; min-width: 64px; height: %1px; }")
                              .arg(kStripHeight - 2));
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

void CTabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_pStrip->setGeometry(0, 0, width(), kStripHeight);
}
