// The converter used as a hostile or careless user would: files that must not be overwritten,
// inputs that never end, limits on memory, kills and races. The old output always survives whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "support/golden.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;
using testing::dataPath;
using testing::quoted;
using testing::readFile;
using testing::writeFile;

class HostileUse : public ::testing::Test {
 protected:
  HostileUse() { fs::copy_file(dataPath("formaldehyde.mno"), m_input); }

  testing::ProgramResult convert(const std::string& arguments) {
    return testing::runProgram(quoted(LOBEWRIGHT_CONVERTER) + arguments, m_dir);
  }

  std::string params() const { return "--params " + quoted(dataPath("pm3r.txt")); }

  // Every file in the folder but the captured stdout and stderr.
  std::vector<std::string> filesLeft() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir.file(""))) {
      const std::string name = entry.path().filename();
      if (name != "stdout.txt" && name != "stderr.txt") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir m_dir;
  const std::string m_input = m_dir.file("m.mno");
};

TEST_F(HostileUse, AnInputIsNeverOverwritten) {
  const std::string original = readFile(m_input);
  fs::create_hard_link(m_input, m_dir.file("link.pov"));
  // m.obj's material file would be m.mtl.
  fs::create_hard_link(m_input, m_dir.file("m.mtl"));
  writeFile(m_dir.file("p.txt"), readFile(dataPath("pm3r.txt")));
  const std::pair<std::string, const char*> cases[] = {
      {quoted(m_input) + quoted(m_input) + "--format pov --homo " + params(), "the input file"},
      {quoted(m_input) + quoted(m_dir.file("link.pov")) + "--homo " + params(), "the input file"},
      {quoted(m_input) + quoted(m_dir.file("p.txt")) + "--format pov --homo --params " +
           quoted(m_dir.file("p.txt")),
       "the parameter file"},
      {quoted(m_input) + quoted(m_dir.file("m.obj")) + "--homo " + params(), "the input file"},
      // Standard input that is the output file.
      {"- " + quoted(m_input) + "--format glb --homo <" + quoted(m_input), "the input file"},
  };
  for (const auto& [arguments, which] : cases) {
    const auto result = convert(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments;
    EXPECT_EQ(testing::firstLine(result.err), "Lobewright error: Cannot open output file.");
    EXPECT_NE(result.err.find(std::string("it is ") + which), std::string::npos) << result.err;
  }
  EXPECT_EQ(readFile(m_input), original);
  EXPECT_EQ(readFile(m_dir.file("p.txt")), readFile(dataPath("pm3r.txt")));

  // An OBJ named like its own material file would be lost under it.
  const auto result = convert(quoted(m_input) + quoted(m_dir.file("x.mtl")) + "--format obj " +
                              "--homo " + params());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: Cannot open output file.\n" + m_dir.file("x.mtl") +
                            ": its material file has the same name\n");
  EXPECT_FALSE(fs::exists(m_dir.file("x.mtl")));
}

TEST_F(HostileUse, OnlyRegularFilesOrStandardInputAreRead) {
  ASSERT_EQ(::mkfifo(m_dir.file("fifo").c_str(), 0600), 0);
  for (const std::string& input : {m_dir.file("fifo"), std::string("/dev/zero")}) {
    const auto result = convert(quoted(input) + quoted(m_dir.file("out.pov")) + params());
    EXPECT_EQ(result.exitCode, 1) << input;
    EXPECT_EQ(result.err,
              "Lobewright error: Input file error.\n" + input + ": not a regular file\n");
  }
  // A parameter table that is a pipe would never end either.
  const auto table = convert(quoted(m_input) + quoted(m_dir.file("out.pov")) + "--params " +
                             quoted(m_dir.file("fifo")));
  EXPECT_EQ(table.exitCode, 1);
  EXPECT_EQ(table.err, "Lobewright error: Parameter file error.\n" + m_dir.file("fifo") +
                           ": not a regular file\n");

  // Standard input, however long, is read up to a limit rather than forever.
  auto result = convert("- " + quoted(m_dir.file("zero.pov")) + params() + " </dev/zero");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(testing::firstLine(result.err), "Lobewright error: Input file error.");

  result =
      convert("- " + quoted(m_dir.file("piped.pov")) + params() + " --mo 6 <" + quoted(m_input));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(
      convert(quoted(m_input) + quoted(m_dir.file("file.pov")) + params() + " --mo 6").exitCode, 0);
  EXPECT_EQ(readFile(m_dir.file("piped.pov")), readFile(m_dir.file("file.pov")));
}

TEST_F(HostileUse, AtomsFarApartAreRefusedBeforeAnythingIsWritten) {
  const std::string row = "-0.5713    0.9287    0.0000";
  std::string far = readFile(m_input);
  far.replace(far.rfind(row), row.size(), "100000.0 100000.0 0.0");
  writeFile(m_input, far);
  writeFile(m_dir.file("out.pov"), "old");
  const auto result = convert(quoted(m_input) + quoted(m_dir.file("out.pov")) + params());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("more than the 2.0 GB allowed; lower the scale or check the "
                            "coordinates."),
            std::string::npos)
      << result.err;
  EXPECT_EQ(readFile(m_dir.file("out.pov")), "old");

  // Along one axis only, each plane of the grid is small, but the whole cube is not.
  std::string line = readFile(dataPath("formaldehyde.mno"));
  line.replace(line.rfind(row), row.size(), "1000000.0 0.9287 0.0000");
  writeFile(m_input, line);
  const auto cube = convert(quoted(m_input) + quoted(m_dir.file("out.cube")) + params());
  EXPECT_EQ(cube.exitCode, 1);
  EXPECT_NE(cube.err.find(" points would need "), std::string::npos) << cube.err;
  EXPECT_NE(cube.err.find(" on disk, more than the 2.0 GB allowed; lower the scale (--scale), give "
                          "a smaller --margin or check the coordinates."),
            std::string::npos)
      << cube.err;
  EXPECT_FALSE(fs::exists(m_dir.file("out.cube")));
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Sanitizers reserve far more address space than any limit that tests this would allow.
TEST_F(HostileUse, RunningOutOfMemoryEndsWithAMessageAndTheOldFileIntact) {
  // The script keeps every point and triangle until the sweep ends: about 150 MB here.
  writeFile(m_dir.file("out.ls"), "old");
  const auto result = testing::runProgram(
      "prlimit --as=100000000 " + quoted(LOBEWRIGHT_CONVERTER) + quoted(dataPath("caffeine.mno")) +
          quoted(m_dir.file("out.ls")) + params() + " --mo 37 --scale 100 --quiet",
      m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: out of memory; try a lower scale\n");
  EXPECT_TRUE(readFile(m_dir.file("out.ls")) == "old");
  EXPECT_EQ(filesLeft(), std::vector<std::string>({"m.mno", "out.ls"}));

  // Standard input that never ends, within less memory than its 2 GB limit: the scale has no part.
  const auto endless =
      testing::runProgram("yes | prlimit --as=200000000 " + quoted(LOBEWRIGHT_CONVERTER) + "- " +
                              quoted(m_dir.file("out.ls")) + params(),
                          m_dir);
  EXPECT_EQ(endless.exitCode, 1);
  EXPECT_EQ(endless.err, "Lobewright error: Input file error.\n-: more than the memory holds\n");

  // A file whose text does not fit (40 MB of overlap matrix in 100 MB): it is named, not the scale.
  std::string large = readFile(dataPath("aux/formaldehyde_PM7.aux"));
  std::string section = " OVERLAP_MATRIX[10000000]=\n";
  for (int line = 0; line < 1'000'000; ++line)
    section += " 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 0.1\n";
  large.insert(large.find(" OVERLAP_MATRIX["), section);
  writeFile(m_dir.file("large.aux"), large);
  const auto tooLarge = testing::runProgram(
      "prlimit --as=100000000 " + quoted(LOBEWRIGHT_CONVERTER) + quoted(m_dir.file("large.aux")) +
          quoted(m_dir.file("out.glb")) + "--homo",
      m_dir);
  EXPECT_EQ(tooLarge.exitCode, 1);
  EXPECT_EQ(tooLarge.err, "Lobewright error: Input file error.\n" + m_dir.file("large.aux") +
                              ": what it holds is too large to read into memory\n");
  EXPECT_FALSE(fs::exists(m_dir.file("out.glb")));
}
#endif

TEST_F(HostileUse, AKillAtAnyMomentLeavesTheOldFileAndNothingElse) {
  std::mt19937 random(11);
  for (int run = 0; run < 4; ++run) {
    writeFile(m_dir.file("out.ls"), "old");
    const int delayMs = static_cast<int>(random() % 400);
    std::string command = "(";
    command += quoted(LOBEWRIGHT_CONVERTER);
    command += quoted(dataPath("caffeine.mno")) + quoted(m_dir.file("out.ls")) + params();
    command += " --mo 37 --scale 24 --quiet & pid=$!; sleep ";
    command += std::to_string(delayMs / 1000.0) + "; kill -9 $pid; wait $pid)";
    testing::runProgram(command, m_dir);
    const std::string left = readFile(m_dir.file("out.ls"));
    // The run may have finished before the kill; then the file is the whole new script.
    EXPECT_TRUE(left == "old" || left.substr(left.size() - 3) == "}\r\n") << delayMs << " ms";
    EXPECT_EQ(filesLeft(), std::vector<std::string>({"m.mno", "out.ls"})) << delayMs << " ms";
  }
}

// Every format says which file could not be written and why, and a failed MO does not end the
// batch. An .obj and its .mtl are replaced together or not at all.
TEST_F(HostileUse, AFullDiskNamesTheFileAndTheReason) {
  // A diagram's format follows its name: a link so named leads to the full disk.
  const std::string diagram = m_dir.file("levels.svg");
  const std::string page = m_dir.file("levels.png");
  fs::create_symlink("/dev/full", diagram);
  fs::create_symlink("/dev/full", page);
  const std::string classic = quoted(m_input) + "/dev/full --mo 6 " + params() + "--format ";
  const std::string exact = quoted(dataPath("aux/formaldehyde_PM7.aux"));
  const std::pair<std::string, std::string> cases[] = {
      {classic + "pov", "/dev/full"},
      {classic + "ls", "/dev/full"},
      {classic + "cube", "/dev/full"},
      {classic + "glb", "/dev/full"},
      {classic + "ply", "/dev/full"},
      {classic + "stl", "/dev/full"},
      {classic + "png --size 64x48", "/dev/full"},
      {classic + "html", "/dev/full"},
      {exact + "/dev/full --format ply --field density --color-by esp", "/dev/full"},
      {exact + "/dev/full --format glb --homo --color-by density", "/dev/full"},
      {exact + "/dev/full --format html --homo --color-by density", "/dev/full"},
      {exact + quoted(diagram) + "--diagram", diagram},
      {exact + quoted(page) + "--diagram --size 64x48", page},
  };
  for (const auto& [arguments, file] : cases) {
    const auto result = convert(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments;
    EXPECT_EQ(result.err, "Lobewright error: Cannot write output file.\n" + file +
                              ": No space left on device\n")
        << arguments;
  }
  fs::remove(diagram);
  fs::remove(page);
  // A file may not grow beyond 32 KB, as on a full disk; the .mtl would fit, the .obj not.
  writeFile(m_dir.file("x-5.obj"), "old");
  writeFile(m_dir.file("x-5.mtl"), "my materials");
  const auto result = testing::runProgram(
      "(ulimit -f 64; trap '' XFSZ; exec " + quoted(LOBEWRIGHT_CONVERTER) + quoted(m_input) +
          quoted(m_dir.file("x-{mo}.obj")) + "--mo 5,6 " + params() + ")",
      m_dir);
  EXPECT_EQ(result.exitCode, 1);
  for (const char* mo : {"5", "6"}) {
    EXPECT_NE(result.err.find("Lobewright error: Cannot write output file.\n" +
                              m_dir.file(std::string("x-") + mo + ".obj") + ": File too large\n"),
              std::string::npos)
        << result.err;
  }
  EXPECT_EQ(readFile(m_dir.file("x-5.obj")), "old");
  EXPECT_EQ(readFile(m_dir.file("x-5.mtl")), "my materials");
  EXPECT_EQ(filesLeft(), std::vector<std::string>({"m.mno", "x-5.mtl", "x-5.obj"}));
}

TEST_F(HostileUse, EightWritersAtOnceLeaveOneWholeScene) {
  const std::string reference = m_dir.file("reference.pov");
  ASSERT_EQ(convert(quoted(m_input) + quoted(reference) + params() + " --mo 6 --scale 8").exitCode,
            0);
  std::string all;
  for (int writer = 0; writer < 8; ++writer) {
    all += quoted(LOBEWRIGHT_CONVERTER) + quoted(m_input) + quoted(m_dir.file("out.pov")) +
           params() + " --mo 6 --scale 8 --threads 1 & ";
  }
  testing::runProgram("(" + all + "wait)", m_dir);
  EXPECT_TRUE(readFile(m_dir.file("out.pov")) == readFile(reference));
  EXPECT_EQ(filesLeft(), std::vector<std::string>({"m.mno", "out.pov", "reference.pov"}));
}

TEST_F(HostileUse, MessagesNeverReachTheSceneOrActOnTheTerminal) {
  // With stderr closed, the warning about the missing default table must not land in the scene.
  const auto closed = convert(quoted(m_input) + quoted(m_dir.file("out.pov")) + "--mo 6 2>&-");
  EXPECT_EQ(closed.exitCode, 0);
  EXPECT_EQ(readFile(m_dir.file("out.pov")).find("Lobewright warning"), std::string::npos);

  std::string escaped = readFile(dataPath("formaldehyde.out"));
  escaped.replace(escaped.find("PM3 CALCULATION"), 3, "\x1b]0;owned\x07PM7");
  writeFile(m_dir.file("escaped.out"), escaped);
  const auto result = convert(quoted(m_dir.file("escaped.out")) + quoted(m_dir.file("e.pov")) +
                              params() + " --mo 6 --orbitals classic");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
  EXPECT_NE(result.err.find("?]0;owned?PM7"), std::string::npos) << result.err;
}

// What an .aux file says reaches --list and --info as plain text: a label's escape sequences
// (ESC, the C1 control 0x9b raw and in UTF-8) as "?", an energy of 1e60 as a number.
TEST_F(HostileUse, ListAndInfoShowTheFilesTextAsPlainText) {
  std::string text = readFile(dataPath("jobs/hydride_PM7.aux"));
  text.replace(text.find("1s(g)"), 5,
               "\x1b[2J\x9b"
               "1m\xc2\x9b"
               "\xc3\xa9");
  text.replace(text.find("3.079544000100"), 14, "1e60");
  writeFile(m_dir.file("h.aux"), text);
  const auto list = convert(quoted(m_dir.file("h.aux")) + "--list");
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out,
            "# mo spin occupancy energy_eV symmetry marks\n"
            "1 - 2.0000 1.0000e+60 ?[2J?1m??\xc3\xa9 HOMO\n");
  const auto info = convert(quoted(m_dir.file("h.aux")) + "--info --homo");
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("symmetry ?[2J?1m??\xc3\xa9, HOMO\n"), std::string::npos) << info.out;
}

TEST_F(HostileUse, ACountOfLevelsBeyondSixteenBitsFindsNoOrbital) {
  std::string text = readFile(m_input);
  text.replace(text.find("LEVELS ="), 11, "LEVELS = 65537");
  writeFile(m_input, text);
  const auto result =
      convert(quoted(m_input) + quoted(m_dir.file("out.pov")) + params() + " --homo");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Lobewright error: Cannot find HOMO/LUMO\n" + m_input +
                            ": the orbital would be MO 65537, beyond the highest MO number, "
                            "32767.\n");
}

}  // namespace
}  // namespace lobewright
