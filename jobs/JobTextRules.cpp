#include "jobs/JobTextRules.h"

#include <cstdint>
#include <cstdio>

#include "jobs/Job.h"

namespace jobs {

namespace {

// The number of characters of `text`, or kNotUtf8 when it is not well-formed
// UTF-8 (overlong forms, surrogates and values past U+10FFFF are not).
constexpr size_t kNotUtf8 = SIZE_MAX;
size_t Utf8Chars(std::string_view text) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++chars) {
    const auto b = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    uint32_t lowest = 0;
    uint32_t cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2, lowest = 0x80, cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, lowest = 0x800, cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, lowest = 0x10000, cp = b & 0x07u;
    } else {
      return kNotUtf8;
    }
    if (i + length > text.size()) return kNotUtf8;
    for (size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return kNotUtf8;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kNotUtf8;
    i += length;
  }
  return chars;
}

const char* What(TextKind kind, bool chinese) {
  switch (kind) {
    case TextKind::Name: return chinese ? "任务名称" : "a job's name";
    case TextKind::Site: return chinese ? "地点" : "a site";
    case TextKind::Operator: return chinese ? "操作员" : "an operator";
    case TextKind::Notes: return chinese ? "备注" : "notes";
    case TextKind::Label: break;
  }
  return chinese ? "测试点编号" : "a point's label";
}

}  // namespace

std::string ControlsShown(std::string_view text) {
  std::string shown;
  for (char c : text) {
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

size_t MaxChars(TextKind kind) {
  switch (kind) {
    case TextKind::Label: return kMaxLabelChars;
    case TextKind::Notes: return kMaxNotesChars;
    default: return kMaxNameChars;
  }
}

std::string TextProblem(TextKind kind, std::string_view text, bool chinese) {
  const std::string what = What(kind, chinese);
  if (text.empty() && (kind == TextKind::Name || kind == TextKind::Label)) {
    return chinese ? "名称或编号不能为空" : "a name or label cannot be empty";
  }
  const size_t chars = Utf8Chars(text);
  // The text itself is not repeated: it would print as the same bad bytes.
  if (chars == kNotUtf8) return chinese ? what + "须为 UTF-8 文本" : what + " must be UTF-8 text";
  if (chars > MaxChars(kind)) {
    const std::string most = std::to_string(MaxChars(kind));
    const std::string given = std::to_string(chars);
    return chinese ? what + "最多 " + most + " 个字符（输入了 " + given + " 个）"
                   : what + " holds at most " + most + " characters (" + given + " given)";
  }
  for (char c : text) {
    const bool lineBreakOrTab = c == '\t' || c == '\n' || c == '\r';
    if ((static_cast<unsigned char>(c) < 0x20 && !(kind == TextKind::Notes && lineBreakOrTab)) || c == 0x7F) {
      if (chinese) return what + "“" + ControlsShown(text) + "”含有制表符、换行符或控制字符";
      const std::string named = kind == TextKind::Label ? "the label" : what;
      return named + " \"" + ControlsShown(text) + "\" holds a tab, line break or control character";
    }
  }
  return {};
}

std::string JobTextProblem(const Job& job) {
  const std::pair<TextKind, const std::string*> texts[] = {{TextKind::Name, &job.name},
                                                           {TextKind::Site, &job.site},
                                                           {TextKind::Operator, &job.operatorName},
                                                           {TextKind::Notes, &job.notes}};
  for (const auto& [kind, text] : texts) {
    if (std::string problem = TextProblem(kind, *text); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace jobs
