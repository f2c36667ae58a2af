#include "input/word_reader.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace lobewright {
namespace {

TEST(WordReader, AFailedReadSticksAndLeavesTargetsUnchanged) {
  std::istringstream in("1.5 oops 2.5 word");
  LineReader lines(in, {});
  WordReader words(lines);
  float value = 0.0f;
  EXPECT_TRUE(words.readNumber(value));
  EXPECT_EQ(value, 1.5f);
  EXPECT_FALSE(words.readNumber(value));
  EXPECT_EQ(words.word(), "oops");
  EXPECT_FALSE(words.atEnd());
  value = 7.0f;
  EXPECT_FALSE(words.readNumber(value));
  EXPECT_EQ(value, 7.0f);
  long integer = 3;
  EXPECT_FALSE(words.readInteger(integer));
  EXPECT_EQ(integer, 3);
  EXPECT_FALSE(words.next());
}

TEST(WordReader, NumbersBeyondTheFloatRangeOrNotFiniteFailTheRead) {
  for (const char* text :
       {"nan", "inf", "-inf", "infinity", "NaN", "1e39", "-1e39", "1e308", "0.5x", "1,5"}) {
    std::istringstream in(std::string(text) + " 2.5");
    LineReader lines(in, {});
    WordReader words(lines);
    float value = 7.0f;
    EXPECT_FALSE(words.readNumber(value)) << text;
    EXPECT_EQ(value, 7.0f) << text;
  }
  std::istringstream largest("3.4e38 -3.4e38 1e-50 +12");
  LineReader lines(largest, {});
  WordReader words(lines);
  float value = 0.0f;
  long integer = 0;
  EXPECT_TRUE(words.readNumber(value));
  EXPECT_EQ(value, 3.4e38f);
  EXPECT_TRUE(words.readNumber(value));
  EXPECT_TRUE(words.readNumber(value));
  EXPECT_EQ(value, 0.0f);
  EXPECT_TRUE(words.readInteger(integer));
  EXPECT_EQ(integer, 12);
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(WordReader, PointIsTheDecimalSeparatorWhateverTheLocale) {
  const std::locale comma(std::locale::classic(), new CommaDecimal);
  const std::locale previous = std::locale::global(comma);
  std::istringstream in("3.25 1e-3");
  in.imbue(comma);
  LineReader lines(in, {});
  WordReader words(lines);
  float a = 0.0f;
  float b = 0.0f;
  EXPECT_TRUE(words.readNumber(a));
  EXPECT_TRUE(words.readNumber(b));
  EXPECT_EQ(a, 3.25f);
  EXPECT_EQ(b, 1e-3f);
  std::locale::global(previous);
}

// Each word comes with its line, over blank lines and CR LF; whether the text ended outside a
// word tells a cut last number from a whole one.
TEST(WordReader, WordsComeWithTheirLinesAndTheEndSaysWhetherTheLastIsWhole) {
  std::istringstream in("a b\r\n\n  c\td\ne\n \n");
  LineReader lines(in, {});
  WordReader words(lines);
  std::vector<std::string> read;
  std::vector<int64_t> numbers;
  while (words.next()) {
    read.emplace_back(words.word());
    numbers.push_back(words.lineNumber());
  }
  EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(numbers, (std::vector<int64_t>{1, 1, 3, 3, 4}));
  EXPECT_TRUE(words.atEnd());
  EXPECT_TRUE(words.endedOnBlank());
  // The end is told at the last word's line, not at the blank lines after it.
  EXPECT_EQ(words.error("ends").message(), "line 4: ends\n  4 | e");

  const std::pair<const char*, bool> ends[] = {
      {"a 1.5", false}, {"a 1.5 ", true}, {"a 1.5\r", true}, {"a\n1.5", false}, {"", true}};
  for (const auto& [text, whole] : ends) {
    std::istringstream cut(text);
    LineReader cutLines(cut, {});
    WordReader cutWords(cutLines);
    while (cutWords.next()) {
    }
    EXPECT_EQ(cutWords.endedOnBlank(), whole) << text;
  }
}

// Started on a line already read, the words begin with that line's; the line counts as whole.
TEST(WordReader, StartsWithTheWordsOfTheCurrentLine) {
  std::istringstream in("first line\nsecond 2.5");
  LineReader lines(in, {});
  ASSERT_TRUE(lines.next() && lines.next());
  WordReader words(lines);
  float value = 0.0f;
  EXPECT_TRUE(words.next());
  EXPECT_EQ(words.word(), "second");
  EXPECT_TRUE(words.readNumber(value));
  EXPECT_EQ(value, 2.5f);
  EXPECT_FALSE(words.next());
  EXPECT_TRUE(words.endedOnBlank());
}

TEST(WordReader, LongWordsAreReadWholeAndAnOverlongLineStopsTheWords) {
  const std::string huge(100000, 'a');
  std::istringstream in(huge + " next\n" + std::string(kMaxLineLength + 1, 'b') + "\nlast");
  LineReader lines(in, {});
  WordReader words(lines);
  ASSERT_TRUE(words.next());
  EXPECT_EQ(words.word().size(), huge.size());
  ASSERT_TRUE(words.next());
  EXPECT_EQ(words.word(), "next");
  EXPECT_FALSE(words.next());
  EXPECT_FALSE(words.atEnd());
  EXPECT_FALSE(words.endedOnBlank());
  EXPECT_TRUE(lines.failed());
  EXPECT_EQ(words.lineNumber(), 2);
  EXPECT_FALSE(words.next());
}

}  // namespace
}  // namespace lobewright
