#include "device/PortNames.h"

#include <cctype>
#include <string_view>

namespace ports {

int ComNumber(const std::string& name) {
  std::string_view s = name;
  if (s.substr(0, 4) == "\\\\.\\") s.remove_prefix(4);
  if (s.size() < 4) return -1;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(s[i])) != "COM"[i]) return -1;
  }
  s.remove_prefix(3);
  if (s.size() > 3) return -1;
  int number = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace ports
