#include <gtest/gtest.h>

#include <fstream>

#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;

// A path as one shell word.
std::string shellWord(const std::string& path) {
  std::string word;
  word += '\'';
  word += path;
  word += "' ";
  return word;
}

class Converter : public ::testing::Test {
 protected:
  testing::ProgramResult convert(const std::string& arguments) {
    return testing::runProgram(shellWord(LOBEWRIGHT_CONVERTER) + arguments, m_dir);
  }
  std::string output(const std::string& name) { return m_dir.file(name); }

  testing::TempDir m_dir;
  const std::string m_params = " --params " + shellWord(dataPath("pm3r.txt"));
  const std::string m_formaldehyde = shellWord(dataPath("formaldehyde.mno"));
};

TEST_F(Converter, WritesTheSameSceneAsTheConversionRun) {
  const auto result = convert(m_formaldehyde + output("f.pov") + m_params + "--homo --scale 2");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  testing::expectMatchesGolden(readFile(output("f.pov")), "formaldehyde-homo-scale2.pov");
}

TEST_F(Converter, WritesTheLScriptForAnOutputEndingInLs) {
  const auto result = convert(m_formaldehyde + output("f.ls") + m_params + "--homo --scale 2");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  testing::expectMatchesGolden(readFile(output("f.ls")), "formaldehyde-homo-scale2.ls");
}

TEST_F(Converter, ConversionFailuresExitWithOneAndTheMessage) {
  std::ofstream(output("keep.pov")) << "keep";
  auto result = convert(m_formaldehyde + output("keep.pov") + m_params + "--mo 11");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(testing::firstLine(result.err), "Lobewright error: Input file error.");
  EXPECT_EQ(readFile(output("keep.pov")), "keep");

  result = convert(m_formaldehyde + "/dev/full --format pov" + m_params);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Lobewright error: Cannot write output file.\n/dev/full: No space left on device\n");

  result = convert(m_formaldehyde + output("missing/dir.pov") + m_params);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(testing::firstLine(result.err), "Lobewright error: Cannot open output file.");

  result = convert(shellWord(dataPath("pm3r.txt")) + output("x.pov") + m_params + "--lumo");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: Input file error.\n" + dataPath("pm3r.txt") +
                            ": not a MOPAC file: give the .out (made with the keyword VECTORS), "
                            ".aux or .mgf file of a MOPAC run\n");
}

TEST_F(Converter, AFailureAfterTheProgressBarIsToldOnALineOfItsOwn) {
  // On a terminal, which script gives the converter, the bar is redrawn in place without a
  // newline until 100 %; an output that cannot be written fails after the sweep, short of it.
  std::ofstream(output("run.sh")) << shellWord(LOBEWRIGHT_CONVERTER)
                                  << shellWord(dataPath("aux/formaldehyde_PM7.aux"))
                                  << "/dev/full --format glb --homo\n";
  const auto result =
      testing::runProgram("script -qec 'sh " + output("run.sh") + "' /dev/null", m_dir);
  EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
  const std::size_t bar = result.out.find("%");
  const std::size_t error = result.out.find("Lobewright error: Cannot write output file.");
  ASSERT_NE(bar, std::string::npos) << result.out << result.err;
  ASSERT_NE(error, std::string::npos) << result.out;
  EXPECT_LT(bar, error);
  EXPECT_EQ(result.out[error - 1], '\n') << result.out;
}

TEST_F(Converter, ABatchWritesAFilePerMoAndReportsTheWorst) {
  const std::string aux = shellWord(dataPath("aux/caffeine_PM7_default.aux"));
  auto result = convert(aux + shellWord(output("c-{mo}.ls")) + "--mo homo-1..LUMO --scale 2");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const char* name : {"c-36.ls", "c-37.ls", "c-38.ls"}) {
    EXPECT_TRUE(std::ifstream(output(name)).good()) << name;
  }
  // This file keeps 20 MOs, from 28 on: MO 1 fails, MO 30 is written all the same.
  result = convert(aux + shellWord(output("d-{mo}.pov")) + "--mo 1,30 --scale 2");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("MO 1 is not in this file, which holds MOs 28 to 47. Run MOPAC with "
                            "AUX(MOS=99999) to keep every MO."),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(std::ifstream(output("d-1.pov")).good());
  EXPECT_TRUE(std::ifstream(output("d-30.pov")).good());
}

TEST_F(Converter, WarningsGoToStderrAndTheRunGoesOn) {
  // The default parameter file, pm3r.txt in the working folder, is missing there.
  auto result = convert(m_formaldehyde + output("w.pov") + " --threshold 40");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err,
            "Lobewright warning: Using default PM3 parameters.\n"
            "Lobewright warning: No surface found at this threshold.\n");

  // A parameter file the user names must be there.
  result = convert(m_formaldehyde + output("w.pov") + " --params " + output("missing.txt"));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: Parameter file error.\n" + output("missing.txt") +
                            ": No such file or directory\n");
}

TEST_F(Converter, SaysHowManyCubesALongSweepVisits) {
  // A threshold nothing reaches keeps this large grid quick to sweep.
  const auto result = convert(shellWord(dataPath("caffeine.mno")) + output("big.pov") + m_params +
                              "--scale 36 --threshold 1000");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.err.find("lobewright-convert: the sweep visits "), std::string::npos)
      << result.err;
  EXPECT_EQ(convert(m_formaldehyde + output("small.pov") + m_params).err, "");
}

TEST_F(Converter, BadCommandLineExitsWithTwoAndUsage) {
  for (const std::string& arguments : {m_formaldehyde + output("a.pov") + " --threshold 0.o5",
                                       m_formaldehyde + output("a.wrl"), std::string(" --scale")}) {
    const auto result = convert(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments;
    EXPECT_NE(result.err.find("usage: lobewright-convert INPUT OUTPUT"), std::string::npos);
  }
  EXPECT_FALSE(std::ifstream(output("a.pov")).good());
}

TEST_F(Converter, InfoPrintsWhatWasRead) {
  const auto result = convert(m_formaldehyde + "--info --homo" + m_params);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "atoms 4 mo 6\n"
            "1 C 0 0 0 0 0 0.27335 -6e-05\n"
            "2 O 1.2023 0 0 0 -2e-05 -0.78745 3e-05\n"
            "3 H -0.5713 0.9287 0 0.39064 0 0 0\n"
            "4 H -0.5712 -0.9288 0 -0.39065 0 0 0\n");
}

// Both spin sets of a UHF run in one batch, each with its own HOMO, and named apart by {spin}.
TEST_F(Converter, BothSpinsMakeAFileEachWithSpinInTheName) {
  const std::string o2 = shellWord(dataPath("jobs/o2_triplet_uhf_PM7.aux"));
  auto result =
      convert(o2 + shellWord(output("o2-{mo}-{spin}.ply")) + "--homo --spin both --scale 3");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(std::ifstream(output("o2-7-alpha.ply")).good());
  EXPECT_TRUE(std::ifstream(output("o2-5-beta.ply")).good());
  // MO 7 of the alpha set is one of a degenerate pair, and the run says so.
  EXPECT_NE(result.err.find("Lobewright note: MO 7 is degenerate with MO 6"), std::string::npos)
      << result.err;

  result = convert(o2 + shellWord(output("o2.ply")) + "--homo --spin both");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("put {spin} in the OUTPUT name"), std::string::npos) << result.err;
}

// --info for an input of the exact model: what the file holds, the MO and its weight per atom.
TEST_F(Converter, InfoDescribesAnyInput) {
  auto result = convert(shellWord(dataPath("jobs/o2_triplet_open22_PM7.aux")) + "--info --homo");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "input o2_triplet_open22_PM7.aux: MOPAC .aux file, PM7, 2 atoms, 8 AOs, 12 electrons\n"
            "orbitals: MOs 1 to 8\n"
            "mo 7: energy -5.5097 eV, occupancy 1.0000, symmetry 1pig, SOMO,HOMO\n"
            "degenerate: MO 7 is degenerate with MO 6 (energies within 0.001 eV): any mix of them "
            "is as good an MO, so its picture is one choice among many.\n"
            "# atom symbol x y z weight\n"
            "1 O 0.0000 0.0000 0.0000 0.5000\n"
            "2 O 1.2100 0.0000 0.0000 0.5000\n");
  result =
      convert(shellWord(dataPath("jobs/formaldehyde_mozyme_eigen_mos3_PM7.aux")) + "--info --mo 5");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("\nnote: MOPAC writes the energies"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\nmo 5: energy unknown, occupancy 2.0000\n"), std::string::npos)
      << result.out;
}

TEST_F(Converter, HelpAndVersion) {
  EXPECT_EQ(convert("--help").exitCode, 0);
  EXPECT_EQ(convert("--version").out, "lobewright-convert 1.2\n");
}

}  // namespace
}  // namespace lobewright
