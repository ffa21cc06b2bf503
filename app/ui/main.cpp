// km360r: the windowed program.
//
//   km360r [--port PATH]
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/StartupChecks.h"
#include "app/ui/CKM360R_ProjectApp.h"
#include "common/FileAccess.h"

int main(int argc, char** argv) {
  CKM360R_ProjectApp::SetSettingsKey();
  // Ctrl+C or a shutdown in the middle of Save or Export leaves no hidden
  // partial file beside the one being saved.
  fileaccess::RemoveTemporaryFileOnStopSignals();

  const startup::CommandLine line = startup::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "km360r: %s\nusage: km360r [--port PATH]\n", line.error.c_str());
    return 2;
  }

  // Nothing may open a window before the display and the codec are known to
  // work: a toolkit without its display would end the program on its own terms.
  if (!CKM360R_ProjectApp::PlatformReady()) return 1;
  QApplication qapp(argc, argv);
  if (!CKM360R_ProjectApp::CodecReady(true)) return 1;

  CKM360R_ProjectApp app;
  CKM360R_ProjectApp::Options options;
  options.portOverride = line.portOverride;
  if (!app.InitInstance(options)) return 1;
  return qapp.exec();
}
