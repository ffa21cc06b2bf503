#pragma once
#include <string>

namespace jobs {
// A random (version 4) UUID in its lower-case text form.
std::string NewUuid();
}  // namespace jobs
