#pragma once
// The meter models the program knows. A model is a folder of its own beside
// km360r/ and one entry in Registry.cpp; the station takes its model from
// here and hands it down to everything that talks to the meter.
#include "device/MeterModel.h"

namespace meters {

// The model the station talks to.
const meter::Model& StationModel();

}  // namespace meters
