#pragma once
// The main window's status bar: the link pane (left: the port, the scan, a
// loss, a read's progress), the note pane (as wide as its text), and the
// three lock panes that follow the keyboard's lamps where the keyboard shows
// them to the system.
#include <QObject>
#include <string>

class QLabel;
class QMainWindow;

class CStatusPanes : public QObject {
 public:
  // Builds the panes into `window`'s status bar.
  explicit CStatusPanes(QMainWindow& window);

  QLabel* LinkPane() const { return m_pLinkPane; }
  QLabel* NotePane() const { return m_pNotePane; }
  void SetLink(const std::string& text);
  // The note pane shows `text`, exactly as wide as it is in the window's
  // font, and hides when it is empty.
  void SetNote(const std::string& text);

 private:
  void UpdateLockPanes();

  QMainWindow& m_window;
  QLabel* m_pLinkPane = nullptr;
  QLabel* m_pNotePane = nullptr;
  QLabel* m_pLockPanes[3] = {nullptr, nullptr, nullptr};
};
