#include "settings/SettingsTexts.h"

namespace settings {

namespace {
const char* const kOkZh = "设置";
const char* const kCancelZh = "关闭";
}  // namespace

ClockTexts ClockTexts::For(std::optional<lang::Index> index) {
  if (!index) return {};
  if (lang::IsChinese(*index)) {
    return {"设置时钟", kOkZh, kCancelZh, "     选择日期:", "     选择时间:"};
  }
  return {"Set clock", "OK", "Cancel", "Current Date:", "Current time:"};
}

WavelengthTexts WavelengthTexts::For(std::optional<lang::Index> index) {
  if (!index) return {};
  if (lang::IsChinese(*index)) {
    return {"设置波长", kOkZh, kCancelZh, "        当前波长:", "        选择波长:"};
  }
  return {"Set wavelength", "OK", "Cancel", "Current wavelength:", "Select wavelength:"};
}

CalibrationTexts CalibrationTexts::For(std::optional<lang::Index> index) {
  if (!index) return {};
  switch (*index) {
    case lang::Index::Zero:
      return {"设置系统参数",
              "       友情提示:请调整光源输出到-3dbm,并插入到KM360R的输入端口",
              "校准系统参数", kOkZh, kCancelZh, "       当前波长:"};
    case lang::Index::One:
      return {"Set system parameters",
              "Note: Please adjust  laser source output to -3dbm, and insert into the input port "
              "of KM360R",
              "Calibrate system parameters", "OK", "Cancel", "Current wavelength:"};
    case lang::Index::Two:
      return {"设置系统参数",
              "                       友情提示:请调整光源输出到-3dbm,并插入到光功率计的输入端口",
              "校准系统参数", kOkZh, kCancelZh, "          当前波长:"};
    case lang::Index::Three:
      break;
  }
  return {"Set system parameters",
          "Note: Please adjust  laser source output to -3dbm, and insert into the input port of "
          "optical power meter",
          "Calibrate system parameters", "OK", "Cancel", "Current wavelength:"};
}

CalibrationWaitTexts CalibrationWaitTexts::For(std::optional<lang::Index> index) {
  if (index && lang::IsChinese(*index)) {
    return {"仪表未报告当前波长,不能校准", "仪表报告的当前波长不是它的波长之一,不能校准",
            "小数部分为百分位,按所示数值发送:请核对后再按设置"};
  }
  return {"The meter has not named its current wavelength: no calibration can be sent.",
          "The meter named a wavelength it does not have: no calibration can be sent.",
          "The fraction is in hundredths and is sent as shown: check it and press OK again."};
}

ModeTexts ModeTexts::For(std::optional<lang::Index> index) {
  if (!index) return {};
  if (lang::IsChinese(*index)) {
    return {"设置测量方式", kOkZh, kCancelZh, "正常测量", "相对测量", "         选择测量方式:"};
  }
  return {"Set measurement mode", "OK", "Cancel", "Normal Measurement", "Reference Measurement",
          "Select measurement mode:"};
}

}  // namespace settings
