#include "app/settings_check.h"

#include <gtest/gtest.h>

#include <limits>

#include "cli/command_line.h"

namespace lobewright {
namespace {

// The converter refuses on its own what the conversion would refuse, so a user of either sees
// the limits at once; what the converter takes, the conversion takes too.
TEST(SettingsCheck, TheConvertersLimitsAreTheConversionsLimits) {
  const auto accepted = [](std::vector<std::string> options) {
    options.insert(options.begin(), {"in.mno", "out.pov"});
    const ParsedCommandLine parsed = parseCommandLine(options);
    if (!parsed.commandLine) return false;
    EXPECT_FALSE(unusableSettingsMessage(parsed.commandLine->settings));
    return true;
  };
  EXPECT_TRUE(accepted({"--scale", "1", "--accuracy", "1"}));
  EXPECT_TRUE(accepted({"--scale", "100", "--accuracy", "100"}));
  for (const std::vector<std::string>& refused : {std::vector<std::string>{"--scale", "0"},
                                                  {"--scale", "101"},
                                                  {"--accuracy", "0"},
                                                  {"--threshold", "0"},
                                                  {"--threshold", "-0.05"},
                                                  {"--cutoff", "-1"},
                                                  {"--accuracy", "101"},
                                                  {"--threshold", "nan"},
                                                  {"--cutoff", "inf"},
                                                  {"--bond-length", "-infinity"},
                                                  {"--threshold", "1e39"}}) {
    EXPECT_FALSE(accepted(refused)) << refused[0] << ' ' << refused[1];
  }
}

TEST(SettingsCheck, TheDefaultsAndFiniteExtremesAreUsable) {
  ConversionSettings settings;
  EXPECT_FALSE(unusableSettingsMessage(settings));
  settings.threshold = std::numeric_limits<float>::max();
  settings.cutoff = std::numeric_limits<float>::denorm_min();
  settings.bondLength = std::numeric_limits<float>::max();
  EXPECT_FALSE(unusableSettingsMessage(settings));
}

}  // namespace
}  // namespace lobewright
