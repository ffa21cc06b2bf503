#include "common/LocalTime.h"

namespace localclock {

Local At(std::time_t when) {
  Local local;
  localtime_s(&local.fields, &when);
  // The local fields read as UTC are ahead of `when` by the zone's offset.
  std::tm copy = local.fields;
  local.utcOffsetSeconds = static_cast<long>(_mkgmtime(&copy) - when);
  return local;
}

}  // namespace localclock
