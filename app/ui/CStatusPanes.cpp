#include "app/ui/CStatusPanes.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <optional>

#include "app/CommandSurface.h"
#include "app/KeyLockLeds.h"

namespace {
// How often the lock panes follow the keyboard's lamps.
constexpr int kLockPanePollMs = 500;
}  // namespace

CStatusPanes::CStatusPanes(QMainWindow& window) : QObject(&window), m_window(window) {
  QStatusBar* bar = window.statusBar();
  m_pLinkPane = new QLabel(bar);
  m_pLinkPane->setObjectName(QStringLiteral("linkPane"));
  bar->addWidget(m_pLinkPane, 1);
  m_pNotePane = new QLabel(QString::fromUtf8(cmd::kNotePaneDefault), bar);
  m_pNotePane->setObjectName(QStringLiteral("notePane"));
  m_pNotePane->setContentsMargins(0, 0, 0, 0);
  m_pNotePane->setMargin(0);
  m_pNotePane->setIndent(0);
  bar->addPermanentWidget(m_pNotePane);
  for (int i = 0; i < 3; ++i) {
    auto* pane = new QLabel(QString::fromLatin1(cmd::kIndicatorTexts[static_cast<size_t>(i)]), bar);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 10);
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
    m_pLockPanes[i] = pane;
  }
  UpdateLockPanes();
  // Only keyboards that show their lamps to the system can be followed.
  const KeyLockStates states = ReadKeyLockStates();
  if (states.caps || states.num || states.scroll) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { UpdateLockPanes(); });
    timer->start(kLockPanePollMs);
  }
}

void CStatusPanes::UpdateLockPanes() {
  const KeyLockStates states = ReadKeyLockStates();
  const std::optional<bool> lit[3] = {states.caps, states.num, states.scroll};
  for (int i = 0; i < 3; ++i) m_pLockPanes[i]->setEnabled(lit[i].value_or(false));
}

void CStatusPanes::SetLink(const std::string& text) { m_pLinkPane->setText(QString::fromStdString(text)); }

void CStatusPanes::SetNote(const std::string& text) {
  const QString note = QString::fromStdString(text);
  m_pNotePane->setText(note);
  m_pNotePane->setFixedWidth(QFontMetrics(m_window.font()).horizontalAdvance(note));
  m_pNotePane->setVisible(!note.isEmpty());
}
