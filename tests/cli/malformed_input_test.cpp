// Damaged and hostile inputs through the converter: exit 1 with the message on stderr, or 2 with
// the usage for arguments it refuses; never a crash, and no output file from bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/golden.h"
#include "support/malformed_inputs.h"
#include "support/recording_sink.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::quoted;
using testing::readFile;

class ConverterWithMalformedInput : public ::testing::Test {
 protected:
  testing::ProgramResult convert(const std::string& input, const std::string& options) {
    return testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + quoted(input) + quoted(m_output) +
                                   "--params " + quoted(dataPath("pm3r.txt")) + options,
                               m_dir);
  }

  void expectFailure(const testing::ProgramResult& result, const std::string& message,
                     const std::string& what) {
    EXPECT_EQ(result.exitCode, 1) << what;
    EXPECT_EQ(testing::firstLine(result.err), "Lobewright error: " + message) << what;
    EXPECT_FALSE(std::filesystem::exists(m_output)) << what;
  }

  // The second line of the message names the file and says why.
  static void expectReason(const testing::ProgramResult& result, const std::string& input,
                           const std::string& reason, const std::string& what) {
    const std::string second = result.err.substr(result.err.find('\n') + 1);
    EXPECT_EQ(second, input + reason + "\n") << what;
  }

  testing::TempDir m_dir;
  const std::string m_output = m_dir.file("out.pov");
  const std::string m_formaldehyde = dataPath("formaldehyde.mno");
};

TEST_F(ConverterWithMalformedInput, EveryKindOfDamageExitsWithItsMessage) {
  const std::string input = m_dir.file("in.mno");
  for (const testing::MalformedInput& damaged : testing::malformedInputs()) {
    std::ofstream(input, std::ios::binary | std::ios::trunc) << damaged.text;
    const testing::ProgramResult result = convert(input, "");
    expectFailure(result, damaged.message, damaged.name);
    if (!damaged.reason.empty()) expectReason(result, input, damaged.reason, damaged.name);
  }
}

TEST_F(ConverterWithMalformedInput, InputsThatAreNotReadableFiles) {
  std::filesystem::create_directory(m_dir.file("folder.mno"));
  std::filesystem::create_symlink(m_dir.file("gone.mno"), m_dir.file("dangling.mno"));
  for (const char* name : {"missing.mno", "folder.mno", "dangling.mno"}) {
    expectFailure(convert(m_dir.file(name), ""), testing::kInputFileError, name);
    expectFailure(convert(m_dir.file(name), " --homo"), testing::kInputFileError, name);
  }
}

TEST_F(ConverterWithMalformedInput, InfoOnDamagedInputFailsToo) {
  const std::string input = m_dir.file("in.mno");
  std::ofstream(input) << testing::randomBytes(4096, 3);
  const auto result =
      testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + quoted(input) + "--info", m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("Lobewright error: Input file error.\n"), std::string::npos);
}

TEST_F(ConverterWithMalformedInput, AnMoBeyondTheLastOneIsAnInputError) {
  expectFailure(convert(m_formaldehyde, " --mo 11"), testing::kInputFileError, "MO 11");
  expectFailure(convert(m_formaldehyde, " --mo 32767"), testing::kInputFileError, "MO 32767");
}

TEST_F(ConverterWithMalformedInput, NumbersOutOfRangeOrNotFiniteAreRefusedWithTheUsage) {
  std::ofstream(m_output) << "keep me";
  for (const char* options :
       {" --mo -3", " --mo 0", " --mo homo+", " --scale -4", " --scale 1000", " --accuracy -1",
        " --accuracy 2147483648", " --threshold nan", " --threshold 1e39", " --cutoff inf",
        " --cutoff -inf", " --bond-length NaN", " --bond-length -1e39"}) {
    const auto result = convert(m_formaldehyde, options);
    EXPECT_EQ(result.exitCode, 2) << options;
    EXPECT_NE(result.err.find("usage: lobewright-convert"), std::string::npos) << options;
  }
  EXPECT_EQ(readFile(m_output), "keep me");
  // The classic model numbers MOs in 16 bits; a greater number is no MO of its input.
  std::filesystem::remove(m_output);
  expectFailure(convert(m_formaldehyde, " --mo 99999"), testing::kInputFileError, "MO 99999");
}

// Counts and selections too large for any molecule, and MOs the calculation does not have: each
// refused with the file and the reason, before anything is drawn.
TEST_F(ConverterWithMalformedInput, CountsAndSelectionsBeyondTheMoleculeNameTheFileAndTheReason) {
  struct Case {
    const char* sample;
    std::string from;  // replaced in the sample by `to`
    std::string to;
    const char* options;
    const char* message;
    std::string reason;
  };
  const Case cases[] = {
      {"jobs/hydride_PM7.mgf", " ORBITAL 2 ", " ORBITAL 1e308 ", "", testing::kInputFileError,
       "the orbital holds 1e+308 electrons; an MO holds 0 to 2"},
      {"aux/formaldehyde_PM7.mgf",
       "-0.31135881D+00 0.11447490D-06 0.27787431D-07 0.12240469D+00 "
       "0.12240607D+00\n",
       "", "", testing::kInputFileError,
       "expected 10 coefficients for the orbital before, found 5"},
      {"aux/formaldehyde_PM7.out", "DOUBLY OCCUPIED LEVELS = 6",
       "DOUBLY OCCUPIED LEVELS = 2147483647", "", testing::kInputFileError,
       "The output states 2147483647 occupied levels, more than the molecule's 10 MOs."},
      {"formaldehyde.mno", "LEVELS =  6", "LEVELS = 2147483647", " --homo", "Cannot find HOMO/LUMO",
       ": the orbital would be MO 2147483647, beyond the highest MO number, 32767."},
      {"formaldehyde.mno", "", "", " --mo 2147483647", testing::kInputFileError,
       ": MO 2147483647 is not in this file, which holds MOs 1 to 10: the molecule has only 10 "
       "MOs."},
      {"jobs/hydride_PM7.aux", "", "", " --mo LUMO+1", testing::kInputFileError,
       ": there is no LUMO: every MO holds electrons"},
      {"jobs/hydride_PM7.out", "", "", " --lumo", testing::kInputFileError,
       ": there is no LUMO: every MO holds electrons"},
      {"jobs/hydride_PM7.aux", "", "", " --mo HOMO-9", testing::kInputFileError,
       ": HOMO-9 would be MO -8, below MO 1"},
  };
  for (const Case& c : cases) {
    const std::string input =
        m_dir.file("in" + std::filesystem::path(c.sample).extension().string());
    std::string text = readFile(dataPath(c.sample));
    if (!c.from.empty()) {
      ASSERT_NE(text.find(c.from), std::string::npos) << c.sample;
      text.replace(text.find(c.from), c.from.size(), c.to);
    }
    testing::writeFile(input, text);
    const testing::ProgramResult result = convert(input, c.options);
    const std::string what = std::string(c.sample) + c.options;
    expectFailure(result, c.message, what);
    EXPECT_NE(result.err.find("\n" + input), std::string::npos) << what << result.err;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << what << result.err;
  }
}

// Garbage, or a table whose only fault is a symbol that would end up in the scene's
// declarations: "#declare AtomC\" = ...".
TEST_F(ConverterWithMalformedInput, AGarbledParameterFileFallsBackToTheBuiltInTable) {
  const std::string garbled = m_dir.file("pm3r.txt");
  for (const std::string& text :
       {testing::randomBytes(512, 5), std::string("2 H 0.967807 1 C\" 1.565085 1.842345 2\n")}) {
    std::ofstream(garbled, std::ios::binary | std::ios::trunc) << text;
    // pm3r.txt in the working folder is the default table, which may fall back with a warning.
    std::filesystem::remove(m_output);
    auto result = testing::runProgram(
        quoted(LOBEWRIGHT_CONVERTER) + quoted(m_formaldehyde) + quoted(m_output) + "--threshold 50",
        m_dir);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err,
              "Lobewright warning: Using default PM3 parameters.\n"
              "Lobewright warning: No surface found at this threshold.\n");
    EXPECT_NE(readFile(m_output).find("#declare AtomC = "), std::string::npos);
    EXPECT_EQ(readFile(m_output).find("AtomC\""), std::string::npos);

    // Named with --params, the same file is an error.
    std::filesystem::remove(m_output);
    result = testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + quoted(m_formaldehyde) +
                                     quoted(m_output) + "--params " + quoted(garbled),
                                 m_dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind("Lobewright error: Parameter file error.\n" + garbled +
                                   ": not a parameter table: line ",
                               0),
              0u)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(m_output));
  }
}

TEST_F(ConverterWithMalformedInput, OutputFailuresExitWithOne) {
  const std::string plainFile = m_dir.file("plain");
  std::ofstream(plainFile) << "a file, not a folder";
  auto result = testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + quoted(m_formaldehyde) +
                                        quoted(plainFile + "/out.pov") + "--params " +
                                        quoted(dataPath("pm3r.txt")),
                                    m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: Cannot open output file.\n" + plainFile +
                            "/out.pov: Not a directory\n");

  result = testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + quoted(m_formaldehyde) +
                                   "/dev/full --format pov --threshold 50 --no-structure",
                               m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Lobewright error: Cannot write output file.\n"), std::string::npos);

  // --info and --list write what they read to stdout; a full disk there is a failure too. The
  // subshell keeps its own stdout while runProgram captures stderr.
  for (const char* mode : {"--info", "--list"}) {
    result =
        testing::runProgram("(" + quoted(LOBEWRIGHT_CONVERTER) + quoted(m_formaldehyde) + mode +
                                " --params " + quoted(dataPath("pm3r.txt")) + ">/dev/full)",
                            m_dir);
    EXPECT_EQ(result.exitCode, 1) << mode;
    EXPECT_EQ(result.err,
              "Lobewright error: Cannot write output file.\nstandard output: No space "
              "left on device\n")
        << mode;
  }
}

}  // namespace
}  // namespace lobewright
