#include "jobs/JobTexts.h"

#include "jobs/JobTextRules.h"

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

std::string JobTexts::TooFewNewReadings(const std::string& point, int readings,
                                        std::optional<int> wavelengthNm) const {
  const std::string n = std::to_string(readings);
  const std::string nm = wavelengthNm ? std::to_string(*wavelengthNm) + " nm" : std::string();
  if (chinese) {
    return NotCaptured(point, "还需 " + (nm.empty() ? "" : nm + " 的 ") + n + " 个新读数，到齐后再按（一个读数只用于一个结果）");
  }
  return NotCaptured(point, n + (readings == 1 ? " more new reading" : " more new readings") +
                                (nm.empty() ? "" : " at " + nm) +
                                " needed; press again when in (a reading serves one result only)");
}

std::string JobTexts::NotCaptured(const std::string& point, const std::string& why) const {
  return point + (chinese ? " 未采集：" : " not captured: ") + why;
}

std::string JobTexts::StoreProblem(const std::string& reason) const {
  if (chinese) return "结果库出错（" + reason + "）";
  return storeProblem + reason;
}

std::string JobTexts::NoSuchJob(const std::string& name) const {
  if (chinese) return "没有名为“" + name + "”的任务";
  return storeProblem + "there is no job named " + name;
}

std::string JobTexts::MeasuredAgain(const std::string& point) const {
  return point + (chinese ? " 已重测，之前的结果仍保留" : " measured again; the earlier result is kept");
}

JobTexts JobTexts::For(std::optional<lang::Index> index) {
  const bool zh = index && lang::IsChinese(*index);
  const field::VerdictWords words = field::VerdictWords::For(zh);
  if (zh) {
    return {
        "测试任务", "测试任务面板(&J)", "采集(&C)", "采集 [空格键]",
        "新建任务…", "打开任务…", "关闭任务", "导入测试点…",
        "未打开任务",
        "名称", "日期", "地点", "测试点", "合格", "临界", "不合格", "未测",
        "任务名称", "地点", "操作员", "门限方案", "确定", "取消",
        "测试点", "判定", "dBm", "损耗",
        words.pass, words.marginal, words.fail, words.noLimit,
        "每次采集读数", "参考值", "取当前读数为参考值", "清除参考值", "无",
        "稳定", "不稳定", "极差", "读数不足",
        "最近 60 秒",
        "导入测试点", "编号规则 (如 P01-P32)", "从文件导入…", "文本或 CSV 文件 (*.txt *.csv)",
        "没有实时读数：请先开始实时读取。", "请先选择一个测试点。",
        "结果库出错：", "已保存：",
        "打印报告…", "重命名任务…",
        "名称、地点、操作员最多 " + std::to_string(kMaxNameChars) + " 个字符，测试点标签最多 " +
            std::to_string(kMaxLabelChars) + " 个字符，不含控制字符。",
        "检查结果库", "结果库完好。", "结果库已损坏：",
        true,
        "请先打开或新建测试任务。", "仪表已断开：请重新连接并开始实时读取。",
        "全部测试点已测",
    };
  }
  return {
      "Test job", "Test job panel(&J)", "Capture(&C)", "Capture [Space]",
      "New job…", "Open job…", "Close job", "Import points…",
      "No job open",
      "Name", "Date", "Site", "Points", "PASS", "MARGINAL", "FAIL", "Untested",
      "Job name", "Site", "Operator", "Profile", "OK", "Cancel",
      "Point", "Verdict", "dBm", "loss",
      words.pass, words.marginal, words.fail, words.noLimit,
      "Readings per capture", "Reference", "Set from the current reading", "Clear reference", "none",
      "steady", "unstable", "span", "too few readings",
      "Last 60 s",
      "Import points", "Pattern (e.g. P01-P32)", "From a file…", "Text or CSV files (*.txt *.csv)",
      "No live readings: start real-time reading first.", "Select a point first.",
      "The results store failed: ", "Stored: ",
      "Print report…", "Rename job…",
      "A name, site or operator holds at most " + std::to_string(kMaxNameChars) + " characters, a point label at most " +
          std::to_string(kMaxLabelChars) + "; no control characters.",
      "Check store", "The results store is sound.", "The results store is damaged: ",
      false,
      "Open or make a job first.", "The meter was lost: link it and start real-time reading again.",
      "all points measured",
  };
}

}  // namespace jobs
