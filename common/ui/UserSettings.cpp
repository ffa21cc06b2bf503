#include "common/ui/UserSettings.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace usersettings {

namespace {

// Set in the file once the older places have been read.
const QString kCarriedKey = QStringLiteral("settings/carriedOver");

// Copies the keys of `from` (all of them, or only `onlyKey`) that the file
// has no value for, under `group`.
void TakeMissing(QSettings& to, const QSettings& from, const QString& group, const QString& onlyKey = {}) {
  for (const QString& key : from.allKeys()) {
    if (!onlyKey.isEmpty() && key != onlyKey) continue;
    const QString target = group.isEmpty() ? key : group + QLatin1Char('/') + key;
    if (!to.contains(target)) to.setValue(target, from.value(key));
  }
}

QString ConfigFile(const QString& name) {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + name;
}

}  // namespace

void Select() {
  QCoreApplication::setOrganizationName(QStringLiteral("KM360R"));
  QCoreApplication::setApplicationName(QStringLiteral("km360r"));
  QSettings::setDefaultFormat(QSettings::IniFormat);
}

QString File() { return QSettings().fileName(); }

EarlierPlaces EarlierPlaces::OfThisUser() {
  EarlierPlaces places;
  // Qt names the place itself: a file on Linux, a registry key on Windows.
  places.dialogs = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("KM360R_Project"))
                       .fileName();
  places.window = ConfigFile(QStringLiteral("KM360R/window.ini"));
  places.readout = ConfigFile(QStringLiteral("KM360R/field-readout.ini"));
  return places;
}

void CarryOver(const EarlierPlaces& from) {
  QSettings settings;
  if (settings.value(kCarriedKey).toBool()) return;
  TakeMissing(settings, QSettings(from.dialogs, from.dialogsFormat), {}, QStringLiteral("FileDialogs/LastFolder"));
  TakeMissing(settings, QSettings(from.window, QSettings::IniFormat), {}, QStringLiteral("window/normal"));
  TakeMissing(settings, QSettings(from.readout, QSettings::IniFormat), QLatin1String(kReadoutGroup));
  settings.setValue(kCarriedKey, true);
}

}  // namespace usersettings
