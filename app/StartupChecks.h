#pragma once
// What must hold before the program opens any window: a display platform the
// windowing toolkit can reach and the GBK codec the meter's texts need.
// Without either the program could not show the meter's data, so a failure
// says "初始化COM失败!" and ends with exit code 1 before anything is opened.
//
// Also the program's command line: `km360r [--port PATH]`.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace startup {

// Reads one environment variable (nullptr when unset); tests pass their own.
using EnvLookup = std::function<const char*(const char*)>;

// True when the windowing toolkit will find a display: an explicitly chosen
// platform that needs no display server (offscreen, minimal, vnc, eglfs, ...),
// or a Wayland or X11 server whose socket accepts a connection.
bool DisplayPlatformUsable(const EnvLookup& env);

// True when GBK bytes can be turned into readable text.
bool GbkCodecUsable();

struct CommandLine {
  std::optional<std::string> portOverride;  // --port PATH / --port=PATH
  std::string error;                        // non-empty: the line cannot be used
};

// `args` without the program name. Arguments that are not ours (the toolkit's
// own, such as -platform or -style) are left to the toolkit.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace startup
