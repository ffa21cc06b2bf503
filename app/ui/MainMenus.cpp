#include "app/ui/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <map>
#include <vector>

#include "app/CommandSurface.h"
#include "app/MenuShortcuts.h"
#include "common/ui/QtText.h"

namespace mainmenus {

void Build(QMenuBar& bar, bool chinese, QObject* context, std::function<void(int id)> onCommand) {
  const std::map<int, std::string> shortcuts = cmd::MenuShortcuts(cmd::MenuBar(chinese));
  std::function<void(QMenu*, const std::vector<cmd::MenuEntry>&)> fill =
      [&](QMenu* menu, const std::vector<cmd::MenuEntry>& entries) {
        for (const cmd::MenuEntry& e : entries) {
          switch (e.kind) {
            case cmd::MenuEntry::Kind::Separator: menu->addSeparator(); break;
            case cmd::MenuEntry::Kind::Popup: fill(menu->addMenu(Qs(e.text)), e.children); break;
            case cmd::MenuEntry::Kind::Command: {
              const auto key = shortcuts.find(e.id);
              // A key name another entry holds is not shown here: it would
              // promise a key that does something else.
              const size_t tab = e.text.find('\t');
              const bool own = key != shortcuts.end() || tab == std::string::npos;
              QAction* action = menu->addAction(Qs(own ? e.text : e.text.substr(0, tab)));
              action->setData(e.id);
              if (key != shortcuts.end()) action->setShortcut(QKeySequence(Qs(key->second)));
              if (const auto prompt = cmd::PromptFor(e.id)) action->setStatusTip(Qs(prompt->prompt));
              QObject::connect(action, &QAction::triggered, context,
                               [onCommand, action] { onCommand(action->data().toInt()); });
              break;
            }
          }
        }
      };
  for (const cmd::MenuEntry& popup : cmd::MenuBar(chinese)) {
    fill(bar.addMenu(Qs(popup.text)), popup.children);
  }
}

void InsertAfter(QMenuBar& bar, QAction* anchor, std::initializer_list<QAction*> entries) {
  for (QAction* entry : bar.actions()) {
    QMenu* menu = entry->menu();
    if (!menu || !menu->actions().contains(anchor)) continue;
    const qsizetype at = menu->actions().indexOf(anchor) + 1;
    QAction* before = menu->actions().size() > at ? menu->actions()[at] : nullptr;
    for (QAction* inserted : entries) menu->insertAction(before, inserted);
    return;
  }
}

bool InsertAboveExit(QMenuBar& bar, QAction* entry) {
  QMenu* file = bar.actions().isEmpty() ? nullptr : bar.actions().first()->menu();
  if (!file || file->actions().isEmpty()) return false;
  QAction* last = file->actions().last();
  file->insertAction(last, entry);
  file->insertSeparator(last);
  return true;
}

}  // namespace mainmenus
