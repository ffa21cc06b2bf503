#pragma once
// The program's one per-user settings file: the file dialogs' last folder,
// the main window's size and place, and the field readout's reference,
// limits and panel. It is Qt's per-user INI file of organisation "KM360R",
// application "km360r": ~/.config/KM360R/km360r.ini on Linux (under
// $XDG_CONFIG_HOME when that is set), %APPDATA%\KM360R\km360r.ini on
// Windows. config.ini, the installation's file, holds none of it.
#include <QSettings>
#include <QString>

namespace usersettings {

// Before the toolkit starts: makes every QSettings() open that file.
void Select();

// The file's path.
QString File();

// Where the readout's values are kept in the file: keys under "field/".
inline constexpr const char* kReadoutGroup = "field";

// Where earlier versions kept these values, each in a place of its own.
struct EarlierPlaces {
  // The dialogs' folder, in Qt's settings under "Local AppWizard-Generated
  // Applications/KM360R_Project" (a file on Linux, the registry on Windows).
  QString dialogs;
  QSettings::Format dialogsFormat = QSettings::NativeFormat;
  // <user configuration>/KM360R/window.ini: the window's size.
  QString window;
  // <user configuration>/KM360R/field-readout.ini: the readout's values.
  QString readout;

  static EarlierPlaces OfThisUser();
};

// Takes the values of the earlier places into the file once, where it has no
// value yet (the readout's under kReadoutGroup). The earlier places are left
// as they are, and are not read again. Needs the application object.
void CarryOver(const EarlierPlaces& from = EarlierPlaces::OfThisUser());

}  // namespace usersettings
