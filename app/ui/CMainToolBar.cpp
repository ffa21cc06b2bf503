#include "app/ui/CMainToolBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QLayout>
#include <QStyle>
#include <algorithm>

#include "app/CommandSurface.h"
#include "app/ui/ToolbarIcons.h"
#include "common/ui/QtText.h"

namespace {

// Room a button needs around its label, and the smallest label font.
constexpr int kLabelPadding = 10;
constexpr double kSmallestLabelPoints = 7.0;

}  // namespace

CMainToolBar::CMainToolBar(bool chinese, std::function<void(int id)> onCommand, QWidget* parent)
    : QToolBar(parent), m_bChinese(chinese), m_onCommand(std::move(onCommand)) {
  setObjectName(QStringLiteral("m_wndToolBar"));
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setIconSize(QSize(cmd::kImageSize, cmd::kImageSize));
  setMovable(true);
  setFloatable(false);
  setAllowedAreas(Qt::TopToolBarArea);

  const auto positions = cmd::Toolbar(chinese);
  for (int i = 0; i < cmd::kToolbarPositions; ++i) {
    const cmd::ToolbarPosition& pos = positions[static_cast<size_t>(i)];
    if (pos.separator) {
      addSeparator();
      continue;
    }
    auto* action = new QAction(this);
    addAction(action);
    m_actions[i] = action;
    connect(action, &QAction::triggered, this, [this, action] { m_onCommand(action->data().toInt()); });
    SetButton(i, pos.id, pos.label, pos.image);
  }
  SizeButtons(font());
}

void CMainToolBar::SizeButtons(QFont font) {
  // Every button gets the same width, taken from the widest label the
  // buttons can carry (button 0 changes its label at run time), kept within
  // 65 to 80 pixels. A label that would not fit into 80 pixels makes the
  // toolbar's font a little smaller rather than being cut.
  QStringList labels;
  for (const auto& pos : cmd::Toolbar(m_bChinese)) labels << Qs(pos.label);
  for (bool running : {false, true}) labels << Qs(cmd::RealTimeButton(m_bChinese, running).label);
  auto widestLabel = [&labels](const QFont& f) {
    const QFontMetrics fm(f);
    int widest = 0;
    for (const QString& label : labels) widest = std::max(widest, fm.horizontalAdvance(label));
    return widest;
  };
  while (widestLabel(font) + kLabelPadding > cmd::kButtonMaxWidth && font.pointSizeF() > kSmallestLabelPoints) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  setFont(font);
  const int width = std::clamp(widestLabel(font) + kLabelPadding, cmd::kButtonMinWidth, cmd::kButtonMaxWidth);
  m_nLabelledButtonWidth = width;
  for (const auto& [position, action] : m_actions) {
    if (QWidget* button = widgetForAction(action)) {
      button->setFont(font);
      button->setFixedWidth(width);
    }
  }
}

void CMainToolBar::SetButton(int position, int id, const std::string& label, int image) {
  const auto it = m_actions.find(position);
  if (it == m_actions.end()) return;
  QAction* action = it->second;
  action->setData(id);
  action->setText(Qs(label));
  action->setIcon(toolbar_icons::Image(image));
  m_images[position] = image;
  const auto prompt = cmd::PromptFor(id);
  action->setStatusTip(prompt ? Qs(prompt->prompt) : QString());
  action->setToolTip(prompt ? Qs(prompt->tooltip) : Qs(label));
}

void CMainToolBar::ShowLink(int image, const std::string& tip) {
  const auto it = m_actions.find(cmd::kLinkStatusButton);
  if (it == m_actions.end()) return;
  it->second->setIcon(toolbar_icons::Image(image));
  it->second->setToolTip(Qs(tip));
  m_images[cmd::kLinkStatusButton] = image;
}

void CMainToolBar::ShowRealTime(bool running) {
  const cmd::ToolbarPosition b = cmd::RealTimeButton(m_bChinese, running);
  SetButton(cmd::kRealTimeButton, b.id, b.label, b.image);
}

void CMainToolBar::ShowSave(int image) {
  const cmd::ToolbarPosition b = cmd::SaveButton(m_bChinese, image);
  SetButton(cmd::kSaveButton, b.id, b.label, b.image);
}

void CMainToolBar::Fit(int windowWidth) {
  if (m_actions.empty()) return;
  // What the buttons and separators take with their labels.
  const int separators = cmd::kToolbarPositions - static_cast<int>(m_actions.size());
  const int spacing = layout() ? layout()->spacing() : 0;
  const int handle = style()->pixelMetric(QStyle::PM_ToolBarHandleExtent) +
                     2 * style()->pixelMetric(QStyle::PM_ToolBarFrameWidth) +
                     2 * style()->pixelMetric(QStyle::PM_ToolBarItemMargin);
  const int separator = style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent);
  const int labelled = static_cast<int>(m_actions.size()) * (m_nLabelledButtonWidth + spacing) +
                       separators * (separator + spacing) + handle;
  const bool iconsOnly = windowWidth < labelled;
  const Qt::ToolButtonStyle wanted = iconsOnly ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon;
  if (toolButtonStyle() == wanted) return;
  setToolButtonStyle(wanted);
  const int buttonWidth = iconsOnly ? cmd::kImageSize + kLabelPadding : m_nLabelledButtonWidth;
  for (const auto& [position, action] : m_actions) {
    if (QWidget* button = widgetForAction(action)) button->setFixedWidth(buttonWidth);
  }
}

QAction* CMainToolBar::Action(int position) const {
  const auto it = m_actions.find(position);
  return it == m_actions.end() ? nullptr : it->second;
}

int CMainToolBar::Image(int position) const {
  const auto it = m_images.find(position);
  return it == m_images.end() ? -1 : it->second;
}

std::map<int, QAbstractButton*> CMainToolBar::Buttons() const {
  std::map<int, QAbstractButton*> buttons;
  for (const auto& [position, action] : m_actions) {
    if (auto* button = qobject_cast<QAbstractButton*>(widgetForAction(action))) buttons[position] = button;
  }
  return buttons;
}
