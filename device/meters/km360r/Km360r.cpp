#include "device/meters/km360r/Km360r.h"

#include "common/GbkKeywords.h"
#include "device/meters/km360r/Km360rLayouts.h"
#include "device/meters/km360r/Km360rSettings.h"

namespace meters::km360r {

namespace {

// Both refusing answers the KM360R has contain "成功" ("设置不成功",
// "设置失败(未成功)").
constexpr std::string_view kRefusals[] = {gbk::kFailure, gbk::kNotSuccess};

constexpr meter::Model kKm360r{
    "KM360R",
    {.baud = 19200, .parity = 'N', .dataBits = 8, .stopBits = 1},
    {"?\r", "D\r", "H\r", "A\r", "B\r", "R\r", "I\r"},
    {'?', '$'},
    {gbk::kHistoryEnd, gbk::kWavelengthCodesEnd, gbk::kRange7Cal, gbk::kSuccess, kRefusals, gbk::kLog},
    {&ReadingOf, &ParametersOf, &CurrentWavelengthOf, &GraphValueOf, &EmptySlot},
    {kWavelengthsNm, kPresetWavelengthNm, &CurrentWavelengthNm, &SettingCommand},
};

}  // namespace

const meter::Model& Model() { return kKm360r; }

}  // namespace meters::km360r
