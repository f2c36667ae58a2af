#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

TEST(NumberText, OnlyWholeFiniteWordsAreNumbers) {
  struct Case {
    const char* word;
    std::optional<double> asDouble;
  };
  const Case cases[] = {
      {"0.5", 0.5},    {"+2", 2.0}, {"-0.25E+01", -2.5}, {"1e-400", 0.0}, {"0.5x", {}},
      {"0x1p3", {}},   {"", {}},    {"nan", {}},         {"inf", {}},     {"1e400", {}},
      {"1.5D+01", {}}, {"+-1", {}}, {"1,5", {}},         {" 1", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseDouble(c.word), c.asDouble) << c.word;

  EXPECT_EQ(parseDouble("1.5D+01", true), 15.0);
  EXPECT_EQ(parseDouble("-0.14303410d-01", true), -0.014303410);
  EXPECT_EQ(parseFloat("3.4e38"), 3.4e38f);
  EXPECT_EQ(parseFloat("1e39"), std::nullopt);
  EXPECT_EQ(parseFloat("1e-50"), 0.0f);
  EXPECT_EQ(parseInteger<int16_t>("32767"), int16_t{32767});
  EXPECT_EQ(parseInteger<int16_t>("32768"), std::nullopt);
  EXPECT_EQ(parseInteger<int>("12abc"), std::nullopt);
  EXPECT_EQ(parseInteger<int>("+7"), 7);
  EXPECT_EQ(notANumber("0.5x"), "\"0.5x\" is not a number");
  EXPECT_EQ(notANumber(std::string(50, '1')),
            "\"1111111111111111111111111111111111111111...\" is not a number");
}

// Plain decimals are read without from_chars where that gives the same double; every word must
// come out as from_chars reads it, to the bit and the sign of zero.
TEST(NumberText, PlainDecimalsReadAsFromCharsReadsThem) {
  const auto reference = [](std::string word) {
    for (char& c : word) {
      if (c == 'D' || c == 'd') c = 'E';
    }
    double value = 0.0;
    std::from_chars(word.data(), word.data() + word.size(), value);
    return value;
  };
  std::vector<std::string> words = {"-0.0",
                                    "0",
                                    "9007199254740992",
                                    "9007199254740993",
                                    "1e22",
                                    "1e23",
                                    "123456789012345678e-5",
                                    "1.e5",
                                    "0.0000000000000000000001",
                                    "-0.53289071D-02",
                                    "1234567890123456789.5"};
  std::mt19937_64 random(20261209);
  const auto digits = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int k = 0; k < 20000; ++k) {
    std::string word = random() % 2 ? "-" : "";
    word += digits(1 + static_cast<int>(random() % 12));
    if (random() % 4 != 0) {
      word += '.';
      word += digits(static_cast<int>(random() % 12));
    }
    if (random() % 2) {
      word += "eEdD"[random() % 4];
      if (random() % 3 != 0) word += random() % 2 ? "-" : "+";
      word += digits(1 + static_cast<int>(random() % 2));
    }
    words.push_back(word);
  }
  for (const std::string& word : words) {
    const std::optional<double> value = parseDouble(word, true);
    ASSERT_TRUE(value) << word;
    const double expected = reference(word);
    EXPECT_EQ(std::bit_cast<uint64_t>(*value), std::bit_cast<uint64_t>(expected)) << word;
  }
}

// A graphics file's fixed-width lines are read field by field; each number must be the one the
// line gives word by word, and any other line is left to the words.
TEST(NumberText, FortranFieldsReadAsTheirWords) {
  std::mt19937_64 random(20261210);
  for (int k = 0; k < 2000; ++k) {
    std::string line;
    for (int field = 0, fields = 1 + static_cast<int>(random() % 5); field < fields; ++field) {
      line += random() % 2 ? " 0." : "-0.";
      for (int i = 0; i < 8; ++i) line += static_cast<char>('0' + random() % 10);
      line += random() % 2 ? "D+" : "D-";
      const int exponent = static_cast<int>(random() % 15);  // as far as MOPAC's MOs go
      line += static_cast<char>('0' + exponent / 10);
      line += static_cast<char>('0' + exponent % 10);
    }
    std::vector<double> expected;
    forEachNumber(line,
                  [&](std::string_view word) { expected.push_back(*parseDouble(word, true)); });
    std::vector<double> read = {1.0};
    ASSERT_TRUE(appendFortranFields(line, read)) << line;
    ASSERT_EQ(read.size(), expected.size() + 1) << line;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(std::bit_cast<uint64_t>(read[i + 1]), std::bit_cast<uint64_t>(expected[i])) << line;
    }
  }
  for (const char* line : {"", " 0.19329316D+00 ", " 0.19329316E+00", " 0.19329316d+00",
                           "+0.19329316D+00", " 0.1932931xD+00", " 1.19329316D+00",
                           " 0.19329316D+99", " 0.19329316D-23", " 0.19329316D+0-"}) {
    std::vector<double> read = {1.0};
    EXPECT_FALSE(appendFortranFields(line, read)) << line;
    EXPECT_EQ(read, std::vector<double>{1.0}) << line;
  }
}

TEST(TextScan, NumbersThatRunTogetherAreSplitAtTheirSigns) {
  const auto split = [](std::string_view line) {
    const std::vector<std::string_view> views = splitNumbers(line);
    return std::vector<std::string>(views.begin(), views.end());
  };
  using Words = std::vector<std::string>;
  EXPECT_EQ(split("+4.00000+10.00000"), (Words{"+4.00000", "+10.00000"}));
  EXPECT_EQ(split(" 0.14303410D+00-0.50634847D+00"), (Words{"0.14303410D+00", "-0.50634847D+00"}));
  EXPECT_EQ(split("-1.5E-05 -2. -3"), (Words{"-1.5E-05", "-2.", "-3"}));
}

// At the end the last line stays, so that an error there can quote it.
TEST(TextScan, LinesAreCountedAndEndAlikeWithOrWithoutCr) {
  std::istringstream in("first\r\n\nthird words  here\n  last 0.5x ");
  LineReader lines(in, "sample.aux");
  std::vector<std::string> read;
  while (lines.next()) read.push_back(lines.line());
  EXPECT_EQ(read, (std::vector<std::string>{"first", "", "third words  here", "  last 0.5x "}));
  EXPECT_EQ(lines.lineNumber(), 4);
  EXPECT_FALSE(lines.failed());
  EXPECT_EQ(lines.error("\"0.5x\" is not a number").message(),
            "sample.aux, line 4: \"0.5x\" is not a number\n  4 | last 0.5x");
}

TEST(TextScan, AnOverlongLineEndsTheReadingAsAFailureAndIsQuotedByItsStart) {
  std::string text = "short\n";
  std::istringstream in(text.append(kMaxLineLength + 1, '0'));
  LineReader lines(in, "zeros");
  ASSERT_TRUE(lines.next());
  EXPECT_FALSE(lines.next());
  EXPECT_TRUE(lines.failed());
  EXPECT_EQ(lines.lineNumber(), 2);
  EXPECT_FALSE(lines.next());
  std::string quote(kQuotedLineLength, '0');
  EXPECT_EQ(lines.error("too long").quote, quote.append("..."));
}

// A quote shows plain text only, whatever the file holds, and no more than a line's worth.
TEST(TextScan, QuotedLinesArePlainShortTextAndOnlyErrorsAtALineHaveOne) {
  struct Case {
    std::string_view line;
    std::string_view quote;
  };
  const Case cases[] = {
      {"  S  C  1\t0.5x  ", "S  C  1 0.5x"},
      {std::string_view("a\x1b[2Jb\x00"
                        "c\x7f\xc3\xa9",
                        11),
       "a?[2Jb?c???"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(quotedLine(c.line), c.quote) << c.line;
  std::string longLine(kQuotedLineLength, 'x');
  std::string cut = longLine;
  EXPECT_EQ(quotedLine(longLine.append("y")), cut.append("..."));
  EXPECT_EQ((TextError{"water.out", 0, "no MOs", "ignored"}.message()), "water.out: no MOs");
  EXPECT_EQ((TextError{{}, 7, "no rows", {}}.message()), "line 7: no rows\n  7 |");
}

}  // namespace
}  // namespace lobewright
