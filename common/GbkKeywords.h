#pragma once
// The meter's labels and markers as GBK byte strings. They are Chinese in every
// user-interface language, so records and data files never depend on it.
// A unit test checks that each one decodes to the intended characters.
#include <string_view>

namespace gbk {

inline constexpr std::string_view kWave = "\xB2\xA8";                       // 波
inline constexpr std::string_view kWavelength = "\xB2\xA8\xB3\xA4";         // 波长
inline constexpr std::string_view kWavelengthColon = "\xB2\xA8\xB3\xA4\xA3\xBA";  // 波长：
inline constexpr std::string_view kLog = "\xB6\xD4\xCA\xFD";                // 对数
inline constexpr std::string_view kLinear = "\xCF\xDF\xD0\xD4";             // 线性
inline constexpr std::string_view kTime = "\xCA\xB1\xBC\xE4";               // 时间
inline constexpr std::string_view kSuccess = "\xB3\xC9\xB9\xA6";            // 成功
inline constexpr std::string_view kFailure = "\xCA\xA7\xB0\xDC";            // 失败
inline constexpr std::string_view kNotSuccess = "\xB2\xBB\xB3\xC9\xB9\xA6";  // 不成功
inline constexpr std::string_view kRange7Cal = "\xC1\xBF\xB3\xCC\x37\xD0\xA3\xD7\xBC";  // 量程7校准
inline constexpr std::string_view kWavelengthCodesEnd =
    "\xD2\xD4\xC9\xCF\xC4\xDA\xC8\xDD\xCE\xAA\xB2\xA8\xB3\xA4\xB4\xFA\xC2\xEB";  // 以上内容为波长代码
inline constexpr std::string_view kHistoryEnd =
    "\xC0\xFA\xCA\xB7\xBC\xC7\xC2\xBC\xB5\xF7\xD4\xC4\xBD\xE1\xCA\xF8";  // 历史记录调阅结束
inline constexpr std::string_view kCurrentWavelength = "\xB5\xB1\xC7\xB0\xB2\xA8\xB3\xA4";  // 当前波长
inline constexpr std::string_view kSystemWavelength = "\xCF\xB5\xCD\xB3\xB2\xA8\xB3\xA4";   // 系统波长
inline constexpr std::string_view kSystemRange = "\xCF\xB5\xCD\xB3\xC1\xBF\xB3\xCC";        // 系统量程
inline constexpr std::string_view kTestTime = "\xB2\xE2\xCA\xD4\xCA\xB1\xBC\xE4";           // 测试时间
inline constexpr std::string_view kRemark = "\xB1\xB8\xD7\xA2";                             // 备注
inline constexpr std::string_view kRange = "\xC1\xBF\xB3\xCC";                              // 量程
inline constexpr std::string_view kCalValue = "\xD0\xA3\xD7\xBC\xD6\xB5";                   // 校准值
inline constexpr std::string_view kRange7CalValue =
    "\xC1\xBF\xB3\xCC\x37\xD0\xA3\xD7\xBC\xD6\xB5";  // 量程7校准值
inline constexpr std::string_view kWavelengthCalValue =
    "\xB2\xA8\xB3\xA4\xD0\xA3\xD7\xBC\xD6\xB5";  // 波长校准值
inline constexpr std::string_view kLinearPower = "\xCF\xDF\xD0\xD4\xB9\xA6\xC2\xCA";  // 线性功率
inline constexpr std::string_view kLogPower = "\xB6\xD4\xCA\xFD\xB9\xA6\xC2\xCA";     // 对数功率

}  // namespace gbk
