#pragma once
// The name of the new file a save writes beside its target, for the
// systems' halves of common/FileAccess.
#include <string>

namespace fileaccess {

// Short and of fixed length, so it fits in a folder wherever the target's own
// name does, and hidden (a leading dot).
std::string TemporaryName();

}  // namespace fileaccess
