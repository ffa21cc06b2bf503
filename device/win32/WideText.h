#pragma once
// UTF-8 and the system's UTF-16 where a port name meets a Win32 call.
#include <string>

namespace winports {

std::wstring Widen(const std::string& utf8);

}  // namespace winports
