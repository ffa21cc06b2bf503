#pragma once
// The KM360R: its probe, its commands, its framing, its markers and its
// record layouts (Km360rLayouts.h), as one meter::Model.
#include "device/MeterModel.h"

namespace meters::km360r {

const meter::Model& Model();

}  // namespace meters::km360r
