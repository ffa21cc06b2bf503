// The window tests run on Qt's offscreen platform unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>

#include "app/ui/CApplication.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  CApplication::SetSettingsKey();
  // Settings the program remembers (the file dialogs' folder) go to a test
  // location, not the user's.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // Settings the windows keep go to a test location, not the user's own; the
  // per-user settings file too, on Windows as well, where Qt would otherwise
  // put it under the user's application data.
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  // A test window that is closed must not end the test program.
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
