#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "common/TextRules.h"
#include "table/KeywordScanner.h"

namespace {

const std::string kTestTime = "\xB2\xE2\xCA\xD4\xCA\xB1\xBC\xE4";  // 测试时间

long FreshSearch(const std::string& text, const std::string& key, size_t start) {
  const int found = text::Pos(std::string_view(text).substr(start), key);
  return found < 0 ? -1 : static_cast<long>(start) + found;
}

}  // namespace

TEST(KeywordScanner, AgreesWithAFreshSearchForRandomTextsAndStarts) {
  std::mt19937 rng(7);
  const std::string keys[] = {"dBm", kTestTime, "\xE2\xCA", "m", "\xB2"};
  for (int round = 0; round < 3000; ++round) {
    const std::string& key = keys[rng() % std::size(keys)];
    // A lead byte, ASCII letters and the key's own bytes, so that walks fall
    // out of step and meet again often.
    const std::string alphabet = "\xB2" "AdW" + key;
    std::string text;
    const size_t length = rng() % 40;
    for (size_t i = 0; i < length; ++i) {
      text += rng() % 8 == 0 ? key : std::string(1, alphabet[rng() % alphabet.size()]);
    }
    KeywordScanner scanner(text, key);
    // Starts that stay, move by one byte (into the second byte of a
    // character, too) or jump.
    for (size_t start = 0; start <= text.size(); start += rng() % 3 == 0 ? rng() % 6 : 1) {
      ASSERT_EQ(scanner.Find(start), FreshSearch(text, key, start))
          << "round " << round << " start " << start;
    }
  }
}

TEST(KeywordScanner, SearchesFromEveryByteLookAtEachPositionAFewTimes) {
  const size_t n = 20000;
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"lead bytes, then the keyword", std::string(n, '\xB2') + "A" + kTestTime},
      {"lead bytes and no keyword", std::string(n, '\xB2') + "A"},
      {"lead bytes, one ASCII byte each", [&] {
         std::string t;
         while (t.size() < n) t += "\xB2\xB2\xB2" "A";
         return t + kTestTime;
       }()},
      {"a keyword's first bytes again and again", [&] {
         std::string t;
         while (t.size() < n) t += "\xB2\xE2\xCA\xD4";
         return t + kTestTime;
       }()},
  };
  for (const auto& c : cases) {
    KeywordScanner scanner(c.text, kTestTime);
    for (size_t start = 0; start <= c.text.size(); ++start) scanner.Find(start);
    EXPECT_LE(scanner.PositionsExamined(), 4 * c.text.size()) << c.name;
  }
}

TEST(KeywordScanner, EmptyKeyAndEmptyText) {
  KeywordScanner empty("", "dBm");
  EXPECT_EQ(empty.Find(0), -1);
  KeywordScanner noKey("abc", "");
  EXPECT_EQ(noKey.Find(2), 2);
}
