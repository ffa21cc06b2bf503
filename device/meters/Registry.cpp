#include "device/meters/Registry.h"

#include "device/meters/km360r/Km360r.h"

namespace meters {

const meter::Model& StationModel() { return km360r::Model(); }

}  // namespace meters
