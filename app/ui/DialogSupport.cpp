#include "app/ui/DialogSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace dialogs {

namespace {

constexpr const char* kFolderKey = "FileDialogs/LastFolder";

}  // namespace

void UseQtLanguage(bool chinese) {
  // Qt's own widgets made from now on (a date picker's month names and date
  // order, a calendar's weekdays) speak the window's language, not the
  // machine's.
  QLocale::setDefault(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                              : QLocale(QLocale::English, QLocale::UnitedKingdom));
  // One translator for the whole program, as the language is one.
  static QTranslator* translator = nullptr;
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  if (!chinese) return;
  auto* loaded = new QTranslator;
  if (!loaded->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete loaded;  // without the translations Qt's dialogs stay English
    return;
  }
  QCoreApplication::installTranslator(loaded);
  translator = loaded;
}

QString LastFolder() {
  const QString folder = QSettings().value(QString::fromLatin1(kFolderKey)).toString();
  return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void RememberFolderOf(const QString& filePath) {
  if (filePath.isEmpty()) return;
  QSettings().setValue(QString::fromLatin1(kFolderKey), QFileInfo(filePath).absolutePath());
}

}  // namespace dialogs
