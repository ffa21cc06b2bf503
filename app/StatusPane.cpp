#include "app/StatusPane.h"

#include <cstdio>

namespace statuspane {

namespace {

std::string Pick(bool chinese, std::string zh, std::string en) {
  return chinese ? std::move(zh) : std::move(en);
}

}  // namespace

std::string PortText(const Port& port) {
  if (port.name.empty() || port.name == port.device) return port.device;
  if (port.device.empty()) return port.name;
  return port.name + " · " + port.device;
}

std::string Grouped(int n) {
  const bool negative = n < 0;
  std::string digits = std::to_string(negative ? -static_cast<long long>(n) : n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return negative ? "-" + digits : digits;
}

std::string Elapsed(int seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  const int h = seconds / 3600;
  const int m = seconds / 60 % 60;
  const int s = seconds % 60;
  if (h > 0) {
    std::snprintf(text, sizeof text, "%d:%02d:%02d", h, m, s);
  } else {
    std::snprintf(text, sizeof text, "%d:%02d", m, s);
  }
  return text;
}

std::string NotConnected(bool chinese) { return Pick(chinese, "未连接仪表", "No meter connected"); }

std::string Connected(bool chinese, const Port& port) {
  return Pick(chinese, "已连接：", "Connected: ") + PortText(port);
}

std::string Searching(bool chinese, const std::string& portName) {
  return Pick(chinese, "正在查找仪表… ", "Searching for the meter… ") + portName;
}

std::string Lost(bool chinese, const Port& port, const std::string& clock) {
  if (chinese) return clock + " 与 " + PortText(port) + " 的连接已断开";
  return "Lost " + PortText(port) + " at " + clock;
}

std::string LinkTooSoon(bool chinese) {
  return Pick(chinese, "请稍候再按“连接”", "Please wait a moment before pressing Link again");
}

std::string HistoryProgress(bool chinese, int records, int seconds) {
  if (chinese) return "历史数据：" + Grouped(records) + " 条 · " + Elapsed(seconds);
  return "History: " + Grouped(records) + " records · " + Elapsed(seconds);
}

std::string HistoryComplete(bool chinese, int records) {
  if (chinese) return "历史数据读取完成：" + Grouped(records) + " 条";
  return "History complete: " + Grouped(records) + " records";
}

std::string HistoryIncomplete(bool chinese, int records) {
  if (chinese) return "历史数据不完整：连接中断前收到 " + Grouped(records) + " 条";
  return "History incomplete: the line was lost after " + Grouped(records) + " records";
}

std::string ResetAnswered(bool chinese, const std::string& answer) {
  // The outcome in the window's language; the meter's own words, in its
  // language, only in brackets after it.
  auto says = [&answer](const char* word) { return answer.find(word) != std::string::npos; };
  std::string outcome;
  if (says("失败") || says("不成功")) {
    outcome = Pick(chinese, "复位：仪表拒绝了复位", "Reset: the meter refused");
  } else if (says("成功")) {
    outcome = Pick(chinese, "复位：已恢复出厂设置", "Reset: factory settings restored");
  } else {
    outcome = Pick(chinese, "复位：仪表的回答无法识别", "Reset: the meter's answer was not understood");
  }
  if (answer.empty()) return outcome;
  return outcome + Pick(chinese, "（", " (") + answer + Pick(chinese, "）", ")");
}

std::string ResetUnanswered(bool chinese) {
  return Pick(chinese, "复位：仪表没有回答", "Reset: no answer from the meter");
}

}  // namespace statuspane
