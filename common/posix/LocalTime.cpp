#include "common/LocalTime.h"

namespace localclock {

Local At(std::time_t when) {
  Local local;
  localtime_r(&when, &local.fields);
  local.utcOffsetSeconds = local.fields.tm_gmtoff;
  return local;
}

}  // namespace localclock
