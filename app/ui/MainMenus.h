#pragma once
// The main window's menus: the menu bar of the language's command table
// (each entry with its key and its prompt in the status line), and the job
// panel's places in it.
#include <functional>
#include <string>

class QAction;
class QMenuBar;
class QObject;

namespace mainmenus {

// Fills `bar` with the Chinese or the English menus; a chosen entry gives
// its command id to `onCommand` (called in `context`).
void Build(QMenuBar& bar, bool chinese, QObject* context, std::function<void(int id)> onCommand);

// Puts `entries` into the menu that holds `anchor`, right after the anchor
// (the View menu the readout put in: the job panel's entry, then Capture).
void InsertAfter(QMenuBar& bar, QAction* anchor, std::initializer_list<QAction*> entries);

// Puts `entry` above the File menu's last entry (Exit), with a separator
// between; false when the File menu is empty.
bool InsertAboveExit(QMenuBar& bar, QAction* entry);

}  // namespace mainmenus
