// Which cells of the measurement list take an edit, and how long it may be.
#include <gtest/gtest.h>

#include "table/CellEdit.h"

namespace {

TEST(CellEdit, OnlyNumberAndDescriptionAndNeverWithParameters) {
  for (int column = 0; column < 10; ++column) {
    EXPECT_EQ(celledit::Editable(column, false), column == 0 || column == 5) << column;
    EXPECT_FALSE(celledit::Editable(column, true)) << column;
  }
}

TEST(CellEdit, LimitsCountGbkBytesAndUnsavableTextIsRefused) {
  const struct {
    int column;
    const char* typed;
    bool stored;
  } cases[] = {
      {0, "1234567890", true},
      {0, "12345678901", false},
      {0, "一二三四五", true},    // ten bytes
      {0, "一二三四五六", false},  // twelve
      {5, "一二三四五六七八九十", true},
      {5, "一二三四五六七八九十A", false},
      {5, "", true},
      {5, "\xF0\x9F\x98\x80", false},  // an emoji: no GBK character
  };
  for (const auto& c : cases) {
    const celledit::Verdict v = celledit::Check(c.column, c.typed, false);
    EXPECT_EQ(v.gbk.has_value(), c.stored) << c.typed;
    EXPECT_EQ(v.refusal.empty(), c.stored) << c.typed;
  }
  EXPECT_EQ(*celledit::Check(5, "柜A", false).gbk, std::string("\xB9\xF1" "A"));
}

}  // namespace
