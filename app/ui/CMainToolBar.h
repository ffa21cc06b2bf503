#pragma once
// The main window's toolbar: the buttons of the configured language with
// their images, labels and prompts, one width for every button taken from
// the widest label any of them can carry, and labels dropped (icons alone,
// the label in the tooltip) while the window is too narrow for them, so no
// button is hidden. A pressed button gives its command id to the window.
#include <QToolBar>
#include <functional>
#include <map>
#include <string>

class QAction;
class QAbstractButton;

class CMainToolBar : public QToolBar {
 public:
  CMainToolBar(bool chinese, std::function<void(int id)> onCommand, QWidget* parent);

  // The button at `position` takes the command `id`, its label and its image.
  void SetButton(int position, int id, const std::string& label, int image);
  // The link-status button shows the link lamp and its tooltip.
  void ShowLink(int image, const std::string& tip);
  // The real-time button's start or stop face; the save button's image.
  void ShowRealTime(bool running);
  void ShowSave(int image);

  // Labels under the icons when `windowWidth` has room for them, else icons alone.
  void Fit(int windowWidth);

  // The action at a position (nullptr for separators).
  QAction* Action(int position) const;
  // The image a position shows (-1 for separators).
  int Image(int position) const;
  // The buttons, by position, for the keyboard's Tab order.
  std::map<int, QAbstractButton*> Buttons() const;

 private:
  void SizeButtons(QFont font);

  const bool m_bChinese;
  std::function<void(int id)> m_onCommand;
  std::map<int, QAction*> m_actions;  // by position
  std::map<int, int> m_images;        // by position
  int m_nLabelledButtonWidth = 0;     // the buttons' width with their labels
};
