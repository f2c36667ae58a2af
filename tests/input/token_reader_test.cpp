#include "input/token_reader.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <vector>

namespace lobewright {
namespace {

TEST(TokenReader, AFailedReadSticksAndLeavesTargetsUnchanged) {
  std::istringstream in("1.5 oops 2.5 word");
  TokenReader reader(in);
  float value = 0.0f;
  EXPECT_TRUE(reader.readNumber(value));
  EXPECT_EQ(value, 1.5f);
  EXPECT_FALSE(reader.readNumber(value));
  value = 7.0f;
  EXPECT_FALSE(reader.readNumber(value));
  EXPECT_EQ(value, 7.0f);
  std::string token = "kept";
  EXPECT_FALSE(reader.readToken(token));
  EXPECT_EQ(token, "kept");
}

TEST(TokenReader, NumbersBeyondTheFloatRangeOrNotFiniteFailTheRead) {
  for (const char* text : {"nan", "inf", "-inf", "infinity", "NaN", "1e39", "-1e39", "1e308"}) {
    std::istringstream in(std::string(text) + " 2.5");
    TokenReader reader(in);
    float value = 7.0f;
    EXPECT_FALSE(reader.readNumber(value)) << text;
    EXPECT_EQ(value, 7.0f) << text;
    EXPECT_FALSE(reader.readNumber(value)) << text;
  }
  std::istringstream largest("3.4e38 -3.4e38 1e-50");
  TokenReader reader(largest);
  float value = 0.0f;
  EXPECT_TRUE(reader.readNumber(value));
  EXPECT_EQ(value, 3.4e38f);
  EXPECT_TRUE(reader.readNumber(value));
  EXPECT_TRUE(reader.readNumber(value));
  EXPECT_EQ(value, 0.0f);
}

TEST(TokenReader, RestOfLineAcceptsNinetyNineCharactersAndNoMore) {
  const std::string fits(99, 'x');
  std::istringstream ok(fits + "\nnext");
  TokenReader okReader(ok);
  std::string token;
  EXPECT_TRUE(okReader.skipRestOfLine());
  EXPECT_TRUE(okReader.readToken(token));
  EXPECT_EQ(token, "next");

  std::istringstream tooLong(fits + "y\nnext");
  TokenReader longReader(tooLong);
  EXPECT_FALSE(longReader.skipRestOfLine());
  EXPECT_FALSE(longReader.readToken(token));
}

TEST(TokenReader, CrLfAndLfEndLinesAlike) {
  std::istringstream in(std::string(99, 'x') + "\r\nnext\r\n");
  TokenReader reader(in);
  std::string line;
  EXPECT_TRUE(reader.readRestOfLine(line));
  EXPECT_EQ(line, std::string(99, 'x'));
  std::string token;
  EXPECT_TRUE(reader.readToken(token));
  EXPECT_EQ(token, "next");
}

// Line numbers for messages: counted from the line given, over blank lines, CR LF and the ends
// that readRestOfLine takes; a read that fails at the end of the text says so.
TEST(TokenReader, CountsTheLinesOfItsTokens) {
  std::istringstream in("a b\r\n\n  c rest\nd\n \n");
  TokenReader reader(in, 40);
  std::string token;
  std::vector<int64_t> lines;
  while (reader.readToken(token)) {
    lines.push_back(reader.tokenLine());
    if (token == "c") reader.skipRestOfLine();
  }
  EXPECT_EQ(lines, (std::vector<int64_t>{40, 40, 42, 43}));
  EXPECT_TRUE(reader.endedOnBlank());

  std::istringstream cut("a 1.5");
  TokenReader cutReader(cut);
  float value = 0.0f;
  EXPECT_TRUE(cutReader.readToken(token) && cutReader.readNumber(value));
  EXPECT_FALSE(cutReader.readToken(token));
  EXPECT_FALSE(cutReader.endedOnBlank());
}

TEST(TokenReader, TokensOfAnyLengthAreReadWhole) {
  const std::string huge(100000, 'a');
  std::istringstream in(huge + " EIGENVECTORS more");
  TokenReader reader(in);
  std::string token;
  EXPECT_TRUE(reader.readToken(token));
  EXPECT_EQ(token.size(), huge.size());
  EXPECT_TRUE(reader.skipToToken("EIGENVECTORS"));
}

TEST(TokenReader, MarkerSearchNeedsSomethingAfterTheMarker) {
  std::istringstream atEnd("a b MARK");
  EXPECT_FALSE(TokenReader(atEnd).skipToToken("MARK"));
  std::istringstream followed("a b MARK\n");
  EXPECT_TRUE(TokenReader(followed).skipToToken("MARK"));
  std::istringstream wrongCase("a mark MARKS b");
  EXPECT_FALSE(TokenReader(wrongCase).skipToToken("MARK"));
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(TokenReader, PointIsTheDecimalSeparatorWhateverTheLocale) {
  const std::locale comma(std::locale::classic(), new CommaDecimal);
  const std::locale previous = std::locale::global(comma);
  std::istringstream in("3.25 1e-3");
  in.imbue(comma);
  TokenReader reader(in);
  float a = 0.0f;
  float b = 0.0f;
  EXPECT_TRUE(reader.readNumber(a));
  EXPECT_TRUE(reader.readNumber(b));
  EXPECT_EQ(a, 3.25f);
  EXPECT_EQ(b, 1e-3f);
  std::locale::global(previous);
}

}  // namespace
}  // namespace lobewright
