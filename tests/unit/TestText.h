#pragma once
// Test texts in the meter's and the data files' GBK, and back.
#include <string>
#include <string_view>

#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "common/Language.h"

// UTF-8 test text to the meter's GBK bytes.
inline std::string G(const std::string& utf8) { return gbk::FromUtf8(utf8); }
// A table cell back to UTF-8 for comparisons.
inline std::string U(std::string_view gbkBytes) { return gbk::ToUtf8(gbkBytes); }

inline FrameTexts TextsFor(const std::string& language) {
  return FrameTexts::For(lang::Resolve(language));
}
