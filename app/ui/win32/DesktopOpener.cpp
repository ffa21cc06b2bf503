#include "app/ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

// The shell opens the file with the viewer Windows has for its type (HTML
// Help for a .chm), as a double click on it would; it says at once whether it
// could.
DesktopOpener::~DesktopOpener() = default;

void DesktopOpener::Open(const std::string& path, std::function<void(bool opened)> done) {
  const QString file = QFile::decodeName(QByteArray::fromStdString(path));
  done(QDesktopServices::openUrl(QUrl::fromLocalFile(file)));
}
