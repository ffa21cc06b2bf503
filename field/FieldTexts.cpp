#include "field/FieldTexts.h"

namespace field {

FieldTexts FieldTexts::For(std::optional<lang::Index> index) {
  const bool chinese = index && lang::IsChinese(*index);
  if (chinese) {
    return {
        "相对值(dB)", "判定",
        "波长", "次数", "最小", "最大", "平均", "极差", "参考值", "相对值", "--.--",
        "设置参考值", "清除参考值", "门限…", "统计清零",
        "设置参考值", "取最新读数", "输入数值 (dBm)",
        "判定门限", "每个波长的下限和上限 (dBm)；设置参考值后按相对值判定。", "相对值 (dB)", "PON 预设",
        "下限", "上限", "确定", "取消",
        "查看(&W)", "测量面板(&M)", "记录读数到文件…", "CSV 文件 (*.csv)", "无法写入记录文件：",
        "记录文件已被删除或替换，已重新建立：",
        "停止于 ", "断开于 ",
        "任务门限：", VerdictWords::For(chinese),
    };
  }
  return {
      "Relative (dB)", "Result",
      "Wavelength", "Count", "Min", "Max", "Mean", "Span", "Reference", "Relative", "--.--",
      "Set reference", "Clear reference", "Limits…", "Reset statistics",
      "Set reference", "Use the latest reading", "Typed value (dBm)",
      "Limits", "Low and high limit per wavelength (dBm); with a reference set, the relative value is judged.",
      "Relative (dB)", "PON presets", "Low", "High", "OK", "Cancel",
      "View(&W)", "Readout panel(&M)", "Log readings to file…", "CSV files (*.csv)",
      "Cannot write the log file: ",
      "The log file was deleted or replaced; a new one was started: ",
      "stopped at ", "lost at ",
      "Job profile: ", VerdictWords::For(chinese),
  };
}

}  // namespace field
