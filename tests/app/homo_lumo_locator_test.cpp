#include "app/homo_lumo_locator.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stop_token>

#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

std::optional<int32_t> locate(const std::string& text, FrontierOrbital which) {
  std::istringstream in(text);
  return locateFrontierOrbital(in, which);
}

TEST(HomoLumoLocator, CountAfterTheFirstLevels) {
  const std::string text = "RHF NO. OF DOUBLY OCCUPIED LEVELS = 13\n FILLED LEVELS = 20\n";
  EXPECT_EQ(locate(text, FrontierOrbital::homo), 13);
  EXPECT_EQ(locate(text, FrontierOrbital::lumo), 14);
  EXPECT_EQ(locate("LEVELS = 0\n", FrontierOrbital::homo), 0);
  EXPECT_EQ(locate("LEVELS = 250\n", FrontierOrbital::homo), 250);
}

TEST(HomoLumoLocator, KeywordEchoesNamingLevelsArePassedOver) {
  const std::string text =
      " *  OPEN(M,N)  - THERE ARE 2 ELECTRONS IN 2 LEVELS\n *  ROOT       - IN A C.I.\n"
      "      THERE ARE    5 DOUBLY FILLED LEVELS\n"
      "      RHF CALCULATION, NO. OF DOUBLY OCCUPIED LEVELS = 5\n";
  EXPECT_EQ(locate(text, FrontierOrbital::homo), 5);
  EXPECT_EQ(locate("LEVELS LEVELS =7\n", FrontierOrbital::homo), 7);
  EXPECT_EQ(locateFrontierOrbital(testing::dataPath("aux/water_PM7.out"), FrontierOrbital::lumo),
            5);
}

TEST(HomoLumoLocator, CountGluedToTheEqualsSign) {
  EXPECT_EQ(locate("DOUBLY OCCUPIED LEVELS =106\n", FrontierOrbital::homo), 106);
  EXPECT_EQ(locate("DOUBLY OCCUPIED LEVELS =106\n", FrontierOrbital::lumo), 107);
  EXPECT_FALSE(locate("LEVELS =1o6\n", FrontierOrbital::homo));
}

TEST(HomoLumoLocator, NothingWhenTheCountCannotBeFound) {
  for (const char* text :
       {"", "no such word\n", "levels = 4\n", "LEVELS: = 4\n", "a LEVELS", "LEVELS = \n",
        "LEVELS = many\n", "LEVELS = 99999999999\n", "LEVELS = 2147483647\n"}) {
    EXPECT_FALSE(locate(text, FrontierOrbital::lumo)) << '"' << text << '"';
  }
  EXPECT_EQ(locate("LEVELS = 2147483647\n", FrontierOrbital::homo), 2147483647);
  // A count below the 32-bit range gives neither orbital, though the LUMO's number would fit.
  for (const char* text : {"LEVELS = -2147483649\n", "LEVELS =-2147483649\n"}) {
    EXPECT_FALSE(locate(text, FrontierOrbital::homo)) << text;
    EXPECT_FALSE(locate(text, FrontierOrbital::lumo)) << text;
  }
  EXPECT_FALSE(locateFrontierOrbital(testing::dataPath("missing.mno"), FrontierOrbital::homo));
}

TEST(HomoLumoLocator, LongWordsNeverMatch) {
  EXPECT_FALSE(locate(std::string(5000, 'L') + "LEVELS = 3\n", FrontierOrbital::homo));
  EXPECT_EQ(locate(std::string(5000, 'x') + " LEVELS = 3\n", FrontierOrbital::homo), 3);
}

TEST(HomoLumoLocator, SamplesGiveTheirFilledLevels) {
  const std::pair<const char*, int> samples[] = {{"water.mno", 4},
                                                 {"formaldehyde.mno", 6},
                                                 {"benzene.mno", 15},
                                                 {"caffeine.mno", 37},
                                                 {"chloroform.mno", 13}};
  for (const auto& [file, homo] : samples) {
    EXPECT_EQ(locateFrontierOrbital(testing::dataPath(file), FrontierOrbital::homo), homo);
  }
}

TEST(HomoLumoLocator, AStoppedLookUpFindsNothing) {
  const std::string caffeine = testing::dataPath("caffeine.mno");
  std::stop_source stop;
  EXPECT_EQ(locateFrontierOrbital(caffeine, FrontierOrbital::homo, stop.get_token()), 37);
  stop.request_stop();
  EXPECT_FALSE(locateFrontierOrbital(caffeine, FrontierOrbital::homo, stop.get_token()));
}

TEST(HomoLumoLocator, TheMessageNamesTheFileAndWhy) {
  testing::TempDir dir;
  const std::string noCount = dir.file("no-count.mno");
  testing::writeFile(noCount, "no levels here\n");
  struct Case {
    std::string file;
    std::optional<int32_t> located;
    std::string reason;
  };
  const Case cases[] = {
      {dir.file("missing.mno"), std::nullopt, "No such file or directory"},
      {dir.file(""), std::nullopt, "Is a directory"},
      {noCount, std::nullopt, "no count of filled levels (\"LEVELS =\")"},
      {noCount, 40000, "the orbital would be MO 40000, beyond the highest MO number, 32767."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cannotFindFrontierMessage(c.file, c.located),
              "Cannot find HOMO/LUMO\n" + c.file + ": " + c.reason);
  }
}

}  // namespace
}  // namespace lobewright
