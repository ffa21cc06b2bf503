#pragma once
// Test texts in the meter's and the data files' GBK, and back.
#include <string>
#include <string_view>

#include "common/FrameTexts.h"
#include "common/Gbk.h"
#include "common/Language.h"
#include "device/meters/km360r/Km360r.h"

// UTF-8 test text to the meter's GBK bytes.
inline std::string G(const std::string& utf8) { return gbk::FromUtf8(utf8); }
// A table cell back to UTF-8 for comparisons.
inline std::string U(std::string_view gbkBytes) { return gbk::ToUtf8(gbkBytes); }

// A record's bytes read as the KM360R reads them.
inline meter::Record Km360rRecord(std::string bytes) {
  return meter::ReadRecord(meters::km360r::Model(), std::move(bytes));
}

inline FrameTexts TextsFor(const std::string& language) {
  return FrameTexts::For(lang::Resolve(language));
}

// One real-time reading at 1310 nm as the meter sends it, with the short
// labels ("波长:", "线性:", "对数:", "时间:").
inline std::string ReadingRecord(const std::string& dbm = "-29.10") {
  return G("波长:     1310nm\r\n线性:     1.23uW\r\n对数:     ") + dbm +
         G("dBm\r\n时间:     12/05/06 10:20:30\r\n$");
}

// A real-time reading as the meter lays it out with the long labels: each
// value starts 10 bytes after the start of its keyword ("波长", "线性",
// "对数", "时间").
inline std::string FullReadingRecord(const std::string& wavelength, const std::string& linear,
                                     const std::string& log, const std::string& time) {
  return G("波长：    " + wavelength + "\r\n线性功率：" + linear + "\r\n对数功率：" + log +
           "\r\n测试时间：    " + time + "\r\n$");
}
