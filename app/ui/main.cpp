// km360r: the windowed program.
//
//   km360r [--port PATH]
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/StartupChecks.h"
#include "app/ui/CApplication.h"
#include "common/FileAccess.h"

int main(int argc, char** argv) {
  CApplication::SetSettingsKey();
  // Ctrl+C or a shutdown in the middle of Save or Export leaves no hidden
  // partial file beside the one being saved.
  fileaccess::RemoveTemporaryFileOnStopSignals();
  // Save, Export and Print to a file beyond the user's file size limit fail
  // with a message and remove their new file instead of ending the program.
  fileaccess::WritesFailAtFileSizeLimit();

  const startup::CommandLine line = startup::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "km360r: %s\nusage: km360r [--port PATH]\n", line.error.c_str());
    return 2;
  }

  // Nothing may open a window before the display and the codec are known to
  // work: a toolkit without its display would end the program on its own terms.
  if (!CApplication::PlatformReady()) return 1;
  QApplication qapp(argc, argv);
  if (!CApplication::CodecReady(true)) return 1;

  CApplication app;
  CApplication::Options options;
  options.portOverride = line.portOverride;
  if (!app.InitInstance(options)) return 1;
  return qapp.exec();
}
