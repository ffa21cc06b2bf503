// The window tests run on Qt's offscreen platform unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>
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
  // Settings the windows keep go to a test location, not the user's own.
  QStandardPaths::setTestModeEnabled(true);
  // A test window that is closed must not end the test program.
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
