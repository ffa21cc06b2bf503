#include "jobs/PointPattern.h"

#include <cstdio>
#include <set>

#include "common/TextRules.h"
#include "jobs/JobTextRules.h"

namespace jobs {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The trailing run of digits of `s`.
std::string_view TrailingNumber(std::string_view s) {
  size_t i = s.size();
  while (i > 0 && text::IsDigit(s[i - 1])) --i;
  return s.substr(i);
}

std::string Padded(unsigned long n, size_t width) {
  std::string digits = std::to_string(n);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

using PatternFaults = LabelsProblem::Fault;

LabelsProblem PatternFault(PatternFaults fault, std::string_view subject = {}, std::string_view prefix = {}) {
  return {fault, std::string(subject), std::string(prefix)};
}

// One part: a range when the text before its last dash ends in a number and
// the text after it is a number, or the same prefix and a number.
LabelsProblem ExpandPart(std::string_view part, std::vector<std::string>& out) {
  const size_t dash = part.rfind('-');
  const std::string_view left = dash == std::string_view::npos ? part : part.substr(0, dash);
  const std::string_view first = TrailingNumber(left);
  if (dash == std::string_view::npos || first.empty() || dash + 1 == part.size()) {
    out.emplace_back(part);
    return {};
  }
  const std::string_view prefix = left.substr(0, left.size() - first.size());
  std::string_view right = part.substr(dash + 1);
  const std::string_view last = TrailingNumber(right);
  if (last.empty()) {
    out.emplace_back(part);  // "ODF1-A": a label with a dash
    return {};
  }
  if (last.size() != right.size()) {
    if (right.substr(0, right.size() - last.size()) != prefix) {
      return PatternFault(PatternFaults::RangeEnd, part, prefix);
    }
  }
  if (first.size() > 9 || last.size() > 9) return PatternFault(PatternFaults::LongNumbers, part);
  const unsigned long from = std::stoul(std::string(first));
  const unsigned long to = std::stoul(std::string(last));
  if (from > to) return PatternFault(PatternFaults::CountsDown, part);
  if (to - from >= kMaxPointsAtOnce) return PatternFault(PatternFaults::TooManyAtOnce, part);
  // "P01" pads to two digits; "P1" does not pad.
  const size_t width = first.size() > 1 && first.front() == '0' ? first.size() : 0;
  for (unsigned long n = from; n <= to; ++n) out.push_back(std::string(prefix) + Padded(n, width));
  return {};
}

}  // namespace

std::string LabelsProblem::Text(bool chinese) const {
  const std::string& s = subject;
  switch (fault) {
    case PatternFaults::None: break;
    case PatternFaults::NoPoints: return chinese ? "未给出测试点" : "no points given";
    case PatternFaults::EmptyPart:
      return chinese ? "“" + s + "”中两个逗号之间是空的" : "an empty part between commas in \"" + s + "\"";
    case PatternFaults::RangeEnd:
      return chinese ? s + "：范围的结尾应是数字，或“" + prefix + "”加数字"
                     : s + ": a range ends in a number or in \"" + prefix + "\" and a number";
    case PatternFaults::LongNumbers: return s + (chinese ? "：数字太长" : ": the numbers are too long");
    case PatternFaults::CountsDown: return s + (chinese ? "：范围由大到小" : ": the range counts down");
    case PatternFaults::TooManyAtOnce:
      if (chinese) return (s.empty() ? "" : s + "：") + "一次添加的测试点超过任务允许的数量";
      return (s.empty() ? "" : s + ": ") + "more points than a job takes at once";
    case PatternFaults::EmptyLabel: return chinese ? "名称或编号不能为空" : "a name or label cannot be empty";
    case PatternFaults::ControlCharacter:
      return chinese ? "编号“" + ControlsShown(s) + "”含有制表符、换行符或控制字符"
                     : "the label \"" + ControlsShown(s) + "\" holds a tab, line break or control character";
    case PatternFaults::Twice: return chinese ? "测试点 " + s + " 已在任务中" : "the point " + s + " is already in the job";
    case PatternFaults::TooMany: return chinese ? "测试点超过任务允许的数量" : "more points than a job takes";
    case PatternFaults::EmptyFile: return chinese ? "文件中没有测试点" : "the file names no points";
    case PatternFaults::NotStorable: return TextProblem(TextKind::Label, s, chinese);
  }
  return {};
}

LabelsProblem LabelFault(std::string_view label) {
  if (label.empty()) return PatternFault(PatternFaults::EmptyLabel);
  for (char c : label) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return PatternFault(PatternFaults::ControlCharacter, label);
  }
  // What a team server cannot hold: text that is not UTF-8, or too long.
  if (!TextProblem(TextKind::Label, label).empty()) return PatternFault(PatternFaults::NotStorable, label);
  return {};
}

std::string LabelProblem(std::string_view label) { return LabelFault(label).Text(false); }

LabelsProblem AdditionFault(const std::vector<std::string>& existing, const std::vector<std::string>& added) {
  std::set<std::string_view> seen(existing.begin(), existing.end());
  for (const std::string& label : added) {
    if (LabelsProblem problem = LabelFault(label)) return problem;
    if (!seen.insert(label).second) return PatternFault(PatternFaults::Twice, label);
  }
  if (existing.size() + added.size() > kMaxPointsAtOnce * 2) return PatternFault(PatternFaults::TooMany);
  return {};
}

std::string AdditionProblem(const std::vector<std::string>& existing, const std::vector<std::string>& added) {
  return AdditionFault(existing, added).Text(false);
}

namespace {

// The labels refused for `problem`, or kept when there is none.
Labels FinishedLabels(Labels result) {
  if (!result.problem) result.problem = AdditionFault({}, result.labels);
  if (result.problem) {
    result.labels.clear();
    result.error = result.problem.Text(false);
  }
  return result;
}

}  // namespace

Labels ExpandPattern(std::string_view pattern) {
  Labels result;
  if (Trim(pattern).empty()) {
    result.problem = PatternFault(PatternFaults::NoPoints);
    result.error = result.problem.Text(false);
    return result;
  }
  size_t start = 0;
  for (;;) {
    const size_t comma = pattern.find(',', start);
    const std::string_view part = Trim(pattern.substr(start, comma == std::string_view::npos ? pattern.npos : comma - start));
    if (part.empty()) {
      result.problem = PatternFault(PatternFaults::EmptyPart, pattern);
      break;
    }
    result.problem = ExpandPart(part, result.labels);
    if (result.problem) break;
    if (result.labels.size() > kMaxPointsAtOnce) {
      result.problem = PatternFault(PatternFaults::TooManyAtOnce);
      break;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return FinishedLabels(std::move(result));
}

namespace {

// The first field of the CSV record starting at `pos`; moves `pos` past the
// record (quoted fields may hold line breaks).
std::string FirstCsvField(std::string_view text, size_t& pos) {
  std::string field;
  bool quoted = pos < text.size() && text[pos] == '"';
  bool inField = true;
  if (quoted) ++pos;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (quoted) {
      if (c == '"' && pos + 1 < text.size() && text[pos + 1] == '"') {
        field += '"';
        ++pos;
      } else if (c == '"') {
        quoted = false;
        inField = false;
      } else {
        field += c;
      }
    } else if (c == '\n') {
      ++pos;
      break;
    } else if (c == ',') {
      inField = false;
    } else if (inField) {
      field += c;
    }
  }
  return field;
}

}  // namespace

Labels LabelsFromFile(std::string_view contents, bool csv) {
  Labels result;
  if (contents.substr(0, 3) == "\xEF\xBB\xBF") contents.remove_prefix(3);
  size_t pos = 0;
  while (pos < contents.size()) {
    std::string label;
    if (csv) {
      label = std::string(Trim(FirstCsvField(contents, pos)));
    } else {
      const size_t end = contents.find('\n', pos);
      label = std::string(Trim(contents.substr(pos, end == std::string_view::npos ? end : end - pos)));
      pos = end == std::string_view::npos ? contents.size() : end + 1;
    }
    if (!label.empty()) result.labels.push_back(std::move(label));
    if (result.labels.size() > kMaxPointsAtOnce) {
      result.problem = PatternFault(PatternFaults::TooManyAtOnce);
      break;
    }
  }
  if (!result.problem && result.labels.empty()) result.problem = PatternFault(PatternFaults::EmptyFile);
  return FinishedLabels(std::move(result));
}

}  // namespace jobs
