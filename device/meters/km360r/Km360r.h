#pragma once
// The KM360R: its line (19200 baud, no parity, 8 data bits, 1 stop bit), its
// probe, its commands, its framing, its markers, its record
// layouts (Km360rLayouts.h) and its wavelengths and setting commands
// (Km360rSettings.h), as one meter::Model.
#include "device/MeterModel.h"

namespace meters::km360r {

const meter::Model& Model();

}  // namespace meters::km360r
