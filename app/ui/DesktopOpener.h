#pragma once
// The desktop's "open" for the Help command. On a Linux desktop the file goes
// to xdg-open, which starts the handler the desktop has chosen for its type;
// xdg-open's failure (not installed, no handler for the type, the handler
// failing at once) is reported (app/ui/posix/). On Windows the shell does it
// (app/ui/win32/).
#include <QObject>

#include "app/Help.h"

class DesktopOpener : public QObject, public help::IDesktop {
  Q_OBJECT

 public:
  explicit DesktopOpener(QObject* parent = nullptr) : QObject(parent) {}
  ~DesktopOpener() override;
  void Open(const std::string& path, std::function<void(bool opened)> done) override;
};
