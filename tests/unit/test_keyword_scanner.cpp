#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/TextRules.h"
#include "table/KeywordScanner.h"

namespace {

// Every start from 0 to the end, moving by one byte or by jumps, must give
// what a fresh search of the rest gives.
void ExpectSameAsFreshSearch(const std::string& text, const std::string& key, std::mt19937& rng) {
  KeywordScanner scanner(text, key);
  size_t start = 0;
  while (start <= text.size()) {
    const int fresh = text::Pos(std::string_view(text).substr(start), key);
    const long expected = fresh < 0 ? -1 : static_cast<long>(start) + fresh;
    ASSERT_EQ(scanner.Find(start), expected) << "start " << start << " key " << key;
    start += (rng() % 4 == 0) ? 1 + rng() % 9 : 1;
  }
}

}  // namespace

TEST(KeywordScanner, AgreesWithTheCharacterWiseSearchFromEveryStart) {
  std::mt19937 rng(7);
  // Alphabet of lead bytes, trail bytes that are ASCII letters, and the
  // keywords' own bytes, so alignments shift and resynchronise often.
  const std::string alphabet = std::string("\xB2\xE2\xCA\xD4\xB1\xBC\xE4\x81\xFE") + "dBm W:\r\n";
  const std::string keys[] = {"dBm", "\xB2\xE2\xCA\xD4\xCA\xB1\xBC\xE4", "\xE2\xCA", "m"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const size_t length = rng() % 120;
    for (size_t i = 0; i < length; ++i) {
      if (rng() % 10 == 0) {
        text += keys[rng() % 2];
      } else {
        text += alphabet[rng() % alphabet.size()];
      }
    }
    for (const std::string& key : keys) ExpectSameAsFreshSearch(text, key, rng);
  }
}

TEST(KeywordScanner, EmptyKeyAndEmptyText) {
  KeywordScanner empty("", "dBm");
  EXPECT_EQ(empty.Find(0), -1);
  KeywordScanner noKey("abc", "");
  EXPECT_EQ(noKey.Find(2), 2);
}
