#include "cli/options.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "support/test_files.h"

namespace lobewright {
namespace {

TEST(Options, TheHelpListsEveryOptionOfTheTableAndNoOther) {
  std::set<std::string> inTable;
  for (const Option& option : converterOptions()) {
    for (const std::string& name : option.names) {
      EXPECT_TRUE(inTable.insert(name).second) << name << " is in the table twice";
    }
  }
  const std::string help = helpText();
  std::set<std::string> inHelp;
  const std::regex word("--[a-z][a-z-]*");
  for (auto match = std::sregex_iterator(help.begin(), help.end(), word);
       match != std::sregex_iterator(); ++match) {
    inHelp.insert(match->str());
  }
  EXPECT_EQ(inHelp, inTable);
}

// The command line's fuzz target finds the options through its dictionary: every name of the
// table and every output format must be in it.
TEST(Options, TheFuzzDictionaryKnowsEveryOptionAndFormat) {
  const std::string dictionary =
      testing::readFile(testing::dataPath("../../fuzz/command_line.dict"));
  for (const Option& option : converterOptions()) {
    for (const std::string& name : option.names) {
      EXPECT_NE(dictionary.find("\"\\x00" + name + "\\x00\""), std::string::npos) << name;
    }
  }
  for (const OutputFormat& format : outputFormats()) {
    EXPECT_NE(dictionary.find("\"" + std::string(format.extension) + "\""), std::string::npos)
        << format.extension;
  }
}

// Each name of each row, with the row's example value, on a command of the form the option is
// for: a conversion to a picture (which every output option but --margin and --quantize serves),
// to a cube or to a .glb, or INPUT alone for --info and --list.
TEST(Options, EveryOptionTakesItsExample) {
  for (const Option& option : converterOptions()) {
    ASSERT_EQ(option.value.takesText, !option.example.empty()) << option.names.front();
    for (const std::string& name : option.names) {
      std::vector<std::string> arguments = option.needs;
      arguments.push_back(name);
      if (option.value.takesText) arguments.push_back(option.example);
      std::vector<std::string> conversion{"in.mno", "out.png"};
      conversion.insert(conversion.end(), arguments.begin(), arguments.end());
      arguments.insert(arguments.begin(), "in.mno");
      const ParsedCommandLine parsed = parseCommandLine(conversion);
      conversion[1] = "out.cube";
      const ParsedCommandLine cube = parseCommandLine(conversion);
      conversion[1] = "out.glb";
      const ParsedCommandLine glb = parseCommandLine(conversion);
      const ParsedCommandLine alone = parseCommandLine(arguments);
      EXPECT_TRUE(parsed.commandLine || cube.commandLine || glb.commandLine || alone.commandLine)
          << name << ": " << parsed.error << " / " << alone.error;
    }
  }
}

}  // namespace
}  // namespace lobewright
