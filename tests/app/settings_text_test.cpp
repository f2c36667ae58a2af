#include "app/settings_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lobewright {
namespace {

// What the setting holds after each keystroke when a text is typed into an empty field:
// a keystroke whose text comes to 0 leaves the setting as it was.
std::vector<float> settingAfterEachKeystroke(const std::string& typed, float initial) {
  std::vector<float> values;
  float setting = initial;
  for (std::size_t length = 1; length <= typed.size(); ++length) {
    const float value = textToFloat(typed.substr(0, length));
    if (value != 0.0f) setting = value;
    values.push_back(setting);
  }
  return values;
}

TEST(SettingsText, GeneralFormatAsTheWindowShowsIt) {
  EXPECT_EQ(formatGeneral(0.05f), "0.05");
  EXPECT_EQ(formatGeneral(3.5f), "3.5");
  EXPECT_EQ(formatGeneral(1.6f), "1.6");
  EXPECT_EQ(formatGeneral(1e-5f), "1e-05");
  EXPECT_EQ(formatGeneral(0.0001f), "0.0001");
  EXPECT_EQ(formatGeneral(-0.05f), "-0.05");
  EXPECT_EQ(formatGeneral(123456.0f), "123456");
  EXPECT_EQ(formatGeneral(1234567.0f), "1.23457e+06");
  EXPECT_EQ(formatGeneral(250.0f), "250");
}

TEST(SettingsText, IntegerFormat) {
  EXPECT_EQ(formatInteger(1), "1");
  EXPECT_EQ(formatInteger(250), "250");
  EXPECT_EQ(formatInteger(-7), "-7");
  EXPECT_EQ(formatInteger(0), "0");
}

TEST(SettingsText, TypingAnExponentKeepsTheMantissaUntilTheExponentHasDigits) {
  EXPECT_EQ(settingAfterEachKeystroke("1e-5", 0.05f), (std::vector<float>{1, 1, 1, 1e-5f}));
  EXPECT_EQ(formatGeneral(textToFloat("1e-5")), "1e-05");
}

TEST(SettingsText, TypingANegativeNumberTakesItOnceItIsNotZero) {
  EXPECT_EQ(settingAfterEachKeystroke("-0.05", 0.05f),
            (std::vector<float>{0.05f, 0.05f, 0.05f, 0.05f, -0.05f}));
  EXPECT_EQ(settingAfterEachKeystroke("0.1", 0.05f), (std::vector<float>{0.05f, 0.05f, 0.1f}));
}

TEST(SettingsText, TextWithoutANumberComesToZero) {
  for (const char* text : {"", "abc", ".", "-", "+", "e5", ".e5", " ", "0", "0.0", "-0"}) {
    EXPECT_EQ(textToFloat(text), 0.0f) << '"' << text << '"';
  }
}

TEST(SettingsText, TheLeadingNumberIsTakenWhateverFollows) {
  EXPECT_EQ(textToFloat("  2.5x"), 2.5f);
  EXPECT_EQ(textToFloat("\t+3"), 3.0f);
  EXPECT_EQ(textToFloat(".5"), 0.5f);
  EXPECT_EQ(textToFloat("5."), 5.0f);
  EXPECT_EQ(textToFloat("2E2"), 200.0f);
  EXPECT_EQ(textToFloat("1e+2"), 100.0f);
  EXPECT_EQ(textToFloat("3.5e"), 3.5f);
  // The point is the only decimal separator: a comma ends the number.
  EXPECT_EQ(textToFloat("1,5"), 1.0f);
  // Neither hexadecimal nor the names of infinity and NaN are numbers here.
  EXPECT_EQ(textToFloat("0x10"), 0.0f);
  EXPECT_EQ(textToFloat("inf"), 0.0f);
  EXPECT_EQ(textToFloat("nan"), 0.0f);
}

TEST(SettingsText, NumbersAFloatCannotHoldComeToZero) {
  EXPECT_EQ(textToFloat("1e-50"), 0.0f);
  EXPECT_EQ(textToFloat("1e-400"), 0.0f);
  EXPECT_EQ(textToFloat("1e39"), 0.0f);
  EXPECT_EQ(textToFloat("-1e400"), 0.0f);
  EXPECT_EQ(textToFloat(std::string(400, '9')), 0.0f);
  EXPECT_EQ(textToFloat("3e38"), 3e38f);
  EXPECT_EQ(textToFloat("123456789012345678901234567890"), 1.23456789e29f);
}

// Whole numbers are never cut to another number: 99999 stays 99999, and what lies beyond 32
// bits comes to the nearer bound, which every range refuses.
TEST(SettingsText, WholeNumbersTakeTheLeadingDigitsWhole) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"250", 250},
      {"99999", 99999},
      {"65537", 65537},
      {"-32768", -32768},
      {"  -12abc", -12},
      {"+7", 7},
      {"1.9", 1},
      {"1e3", 1},
      {"0", 0},
      {"123456789012345678901", INT32_MAX},
      {"-123456789012345678901", INT32_MIN},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"- 5", std::nullopt},
      {"x5", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(textToInteger(text), expected) << text;
}

}  // namespace
}  // namespace lobewright
