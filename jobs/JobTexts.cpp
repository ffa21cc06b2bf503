#include "jobs/JobTexts.h"

namespace jobs {

std::string JobTexts::VerdictWord(Verdict v) const {
  switch (v) {
    case Verdict::Pass: return pass;
    case Verdict::Marginal: return marginal;
    case Verdict::Fail: return fail;
    case Verdict::NoLimit: break;
  }
  return noLimit;
}

JobTexts JobTexts::For(std::optional<lang::Index> index) {
  if (index && lang::IsChinese(*index)) {
    return {
        "测试任务", "测试任务面板(&J)", "采集(&C)", "采集 [空格键]",
        "新建任务…", "打开任务…", "关闭任务", "导入测试点…",
        "未打开任务",
        "名称", "日期", "地点", "测试点", "合格", "临界", "不合格", "未测",
        "任务名称", "地点", "操作员", "门限方案", "确定", "取消",
        "测试点", "判定", "dBm", "损耗",
        "PASS", "MARGINAL", "FAIL", "无门限",
        "每次采集读数", "参考值", "取当前读数为参考值", "清除参考值", "无",
        "稳定", "不稳定", "极差", "读数不足",
        "最近 60 秒",
        "导入测试点", "编号规则 (如 P01-P32)", "从文件导入…", "文本或 CSV 文件 (*.txt *.csv)",
        "没有实时读数：请先开始实时读取。", "请先选择一个测试点。", "读数还不够本次采集的个数。",
        "结果库出错：", "已保存：",
        "打印报告…",
        "检查结果库", "结果库完好。", "结果库已损坏：",
        true,
    };
  }
  return {
      "Test job", "Test job panel(&J)", "Capture(&C)", "Capture [Space]",
      "New job…", "Open job…", "Close job", "Import points…",
      "No job open",
      "Name", "Date", "Site", "Points", "PASS", "MARGINAL", "FAIL", "Untested",
      "Job name", "Site", "Operator", "Profile", "OK", "Cancel",
      "Point", "Verdict", "dBm", "loss",
      "PASS", "MARGINAL", "FAIL", "no limit",
      "Readings per capture", "Reference", "Set from the current reading", "Clear reference", "none",
      "steady", "unstable", "span", "too few readings",
      "Last 60 s",
      "Import points", "Pattern (e.g. P01-P32)", "From a file…", "Text or CSV files (*.txt *.csv)",
      "No live readings: start real-time reading first.", "Select a point first.",
      "Not yet as many readings as a capture takes.",
      "The results store failed: ", "Stored: ",
      "Print report…",
      "Check store", "The results store is sound.", "The results store is damaged: ",
      false,
  };
}

}  // namespace jobs
