#include "jobs/PointPattern.h"

#include <cstdio>
#include <set>

#include "common/TextRules.h"

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

// One part: a range when the text before its last dash ends in a number and
// the text after it is a number, or the same prefix and a number.
std::string ExpandPart(std::string_view part, std::vector<std::string>& out) {
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
      return std::string(part) + ": a range ends in a number or in \"" + std::string(prefix) +
             "\" and a number";
    }
  }
  if (first.size() > 9 || last.size() > 9) return std::string(part) + ": the numbers are too long";
  const unsigned long from = std::stoul(std::string(first));
  const unsigned long to = std::stoul(std::string(last));
  if (from > to) return std::string(part) + ": the range counts down";
  if (to - from >= kMaxPointsAtOnce) return std::string(part) + ": more points than a job takes at once";
  // "P01" pads to two digits; "P1" does not pad.
  const size_t width = first.size() > 1 && first.front() == '0' ? first.size() : 0;
  for (unsigned long n = from; n <= to; ++n) out.push_back(std::string(prefix) + Padded(n, width));
  return {};
}

// The label as a message can show it: a control character as \xNN, since a
// NUL byte would end the printed message there and a line break split it.
std::string ControlsShown(std::string_view label) {
  std::string shown;
  for (char c : label) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      shown += hex;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string LabelProblem(std::string_view label) {
  if (label.empty()) return "a name or label cannot be empty";
  for (char c : label) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return "the label \"" + ControlsShown(label) + "\" holds a tab, line break or control character";
    }
  }
  return {};
}

std::string AdditionProblem(const std::vector<std::string>& existing, const std::vector<std::string>& added) {
  std::set<std::string_view> seen(existing.begin(), existing.end());
  for (const std::string& label : added) {
    if (std::string problem = LabelProblem(label); !problem.empty()) return problem;
    if (!seen.insert(label).second) return "the point " + label + " is already in the job";
  }
  if (existing.size() + added.size() > kMaxPointsAtOnce * 2) return "more points than a job takes";
  return {};
}

Labels ExpandPattern(std::string_view pattern) {
  Labels result;
  if (Trim(pattern).empty()) {
    result.error = "no points given";
    return result;
  }
  size_t start = 0;
  for (;;) {
    const size_t comma = pattern.find(',', start);
    const std::string_view part = Trim(pattern.substr(start, comma == std::string_view::npos ? pattern.npos : comma - start));
    if (part.empty()) {
      result.error = "an empty part between commas in \"" + std::string(pattern) + "\"";
      break;
    }
    result.error = ExpandPart(part, result.labels);
    if (!result.error.empty()) break;
    if (result.labels.size() > kMaxPointsAtOnce) {
      result.error = "more points than a job takes at once";
      break;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (result.error.empty()) result.error = AdditionProblem({}, result.labels);
  if (!result.error.empty()) result.labels.clear();
  return result;
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
      result.error = "more points than a job takes at once";
      break;
    }
  }
  if (result.error.empty() && result.labels.empty()) result.error = "the file names no points";
  if (result.error.empty()) result.error = AdditionProblem({}, result.labels);
  if (!result.error.empty()) result.labels.clear();
  return result;
}

}  // namespace jobs
