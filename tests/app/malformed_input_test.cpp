// Damaged, foreign and hostile inputs through the conversion run: each gives its message and
// leaves the output file as it was, never a crash, a hang or a scene written from bad data.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>

#include "app/conversion.h"
#include "app/exact_input.h"
#include "input/classic_calculation.h"
#include "input/text_scan.h"
#include "support/golden.h"
#include "support/malformed_inputs.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;

constexpr const char* kSamples[] = {"water.mno",   "formaldehyde.mno", "ethylene.mno",
                                    "benzene.mno", "caffeine.mno",     "chloroform.mno"};

class MalformedInput : public ::testing::Test {
 protected:
  MalformedInput() {
    m_request.parameterFile = dataPath("pm3r.txt");
    m_request.inputFile = m_dir.file("in.mno");
    m_request.settings.outputKind = OutputKind::PovRay;
    m_request.settings.outputPath = m_dir.file("out.pov");
    // The smallest grid keeps the conversions that do succeed quick.
    m_request.settings.scale = 1;
  }

  void writeInput(const std::string& text) {
    std::ofstream(m_request.inputFile, std::ios::binary | std::ios::trunc) << text;
  }

  ConversionOutcome run() {
    m_sink.messages.clear();
    return runConversion(m_request, m_sink, [](int) {});
  }

  // The run fails with the message, warns about nothing, and the output file stays absent or,
  // where it exists, unchanged.
  void expectRefused(const std::string& message, const std::string& what,
                     const std::string& reason = {}) {
    const std::string& output = m_request.settings.outputPath;
    std::filesystem::remove(output);
    ConversionOutcome outcome = run();
    EXPECT_FALSE(outcome.succeeded()) << what;
    EXPECT_EQ(testing::firstLine(outcome.message), message) << what;
    // An input error says why on a second line, after the file's name.
    if (message == testing::kInputFileError) {
      const std::string second = outcome.message.substr(message.size() + 1);
      EXPECT_EQ(second.rfind(m_request.inputFile, 0), 0u) << what;
      if (!reason.empty()) {
        EXPECT_EQ(second, m_request.inputFile + reason) << what;
      }
    }
    EXPECT_TRUE(m_sink.messages.empty()) << what;
    EXPECT_FALSE(std::filesystem::exists(output)) << what;

    std::ofstream(output, std::ios::binary) << "keep me";
    outcome = run();
    EXPECT_EQ(testing::firstLine(outcome.message), message) << what;
    EXPECT_EQ(readFile(output), "keep me") << what;
  }

  testing::TempDir m_dir;
  ConversionRequest m_request;
  testing::RecordingSink m_sink;
};

TEST_F(MalformedInput, EveryKindOfDamageIsRefusedWithItsMessage) {
  for (const testing::MalformedInput& input : testing::malformedInputs()) {
    writeInput(input.text);
    expectRefused(input.message, input.name, input.reason);
  }
}

TEST_F(MalformedInput, InputsThatAreNotReadableFiles) {
  m_request.inputFile = m_dir.file("missing.mno");
  expectRefused(testing::kInputFileError, "missing file");

  std::filesystem::create_directory(m_dir.file("folder.mno"));
  m_request.inputFile = m_dir.file("folder.mno");
  expectRefused(testing::kInputFileError, "directory");

  m_request.inputFile = m_dir.file("dangling.mno");
  std::filesystem::create_symlink(m_dir.file("gone.mno"), m_request.inputFile);
  expectRefused(testing::kInputFileError, "file that vanished behind its link");

  // Root reads a file whatever its mode, so an unreadable file can only be made for others.
  if (geteuid() != 0) {
    m_request.inputFile = m_dir.file("locked.mno");
    std::filesystem::copy_file(dataPath("formaldehyde.mno"), m_request.inputFile);
    std::filesystem::permissions(m_request.inputFile, std::filesystem::perms::none);
    expectRefused(testing::kInputFileError, "unreadable file");
  }
}

TEST_F(MalformedInput, MoNumbersThatAreNotPrinted) {
  writeInput(readFile(dataPath("formaldehyde.mno")));
  for (const int32_t mo : {0, -1, -32768, 11, 32767, 40000}) {
    m_request.settings.moNumber = mo;
    expectRefused(testing::kInputFileError, "MO " + std::to_string(mo));
  }
}

// A cut file either fails like any damaged one or, when the cut lies past everything the reader
// needs, gives exactly the scene of the whole file.
TEST_F(MalformedInput, EverySampleTruncatedAtTwentyPoints) {
  for (const char* sample : kSamples) {
    const std::string whole = readFile(dataPath(sample));
    writeInput(whole);
    ASSERT_TRUE(run().succeeded()) << sample;
    const std::string wholeScene = readFile(m_request.settings.outputPath);
    for (int point = 0; point < 20; ++point) {
      const std::size_t length = whole.size() * point / 20;
      writeInput(whole.substr(0, length));
      std::filesystem::remove(m_request.settings.outputPath);
      const ConversionOutcome outcome = run();
      const std::string where = std::string(sample) + " cut at " + std::to_string(length);
      if (outcome.succeeded()) {
        EXPECT_EQ(readFile(m_request.settings.outputPath), wholeScene) << where;
      } else {
        EXPECT_EQ(testing::firstLine(outcome.message), testing::kInputFileError) << where;
        EXPECT_FALSE(std::filesystem::exists(m_request.settings.outputPath)) << where;
      }
    }
  }
}

TEST_F(MalformedInput, ByteFlipsNeverGiveACrashOrAnOutputOnFailure) {
  const std::string whole = readFile(dataPath("formaldehyde.mno"));
  std::mt19937 random(20);
  std::uniform_int_distribution<std::size_t> position(0, whole.size() - 1);
  for (int variant = 0; variant < 150; ++variant) {
    std::string flipped = whole;
    for (int flip = 0; flip <= variant % 3; ++flip) {
      flipped[position(random)] ^= static_cast<char>(1 << (random() % 8));
    }
    writeInput(flipped);
    std::filesystem::remove(m_request.settings.outputPath);
    const ConversionOutcome outcome = run();
    if (outcome.succeeded()) continue;
    EXPECT_TRUE(outcome.status == ConversionStatus::inputError ||
                outcome.status == ConversionStatus::gridTooLarge)
        << variant << ": " << outcome.message;
    EXPECT_FALSE(std::filesystem::exists(m_request.settings.outputPath)) << variant;
  }
}

// Lines up to the longest a line may be are read past; a longer one is named and quoted,
// wherever it stands.
TEST_F(MalformedInput, LongLinesOutsideTheTablesAreReadPastAndOverlongOnesRefused) {
  const std::string whole = readFile(dataPath("formaldehyde.mno"));
  writeInput(whole);
  ASSERT_TRUE(run().succeeded());
  const std::string wholeScene = readFile(m_request.settings.outputPath);
  std::string words;
  for (int i = 0; i < (1 << 19); ++i) words += "x ";
  ASSERT_EQ(words.size(), kMaxLineLength);
  writeInput(words + "\n" + std::string(1 << 20, 'T') + "\n" + whole);
  ASSERT_TRUE(run().succeeded());
  EXPECT_EQ(readFile(m_request.settings.outputPath), wholeScene);

  // Before the eigenvectors, and between them and the final geometry.
  const std::size_t finalTable = whole.rfind('\n', whole.rfind("CARTESIAN COORDINATES")) + 1;
  const std::string overlong = words + "x\n";
  const std::pair<std::string, int> cases[] = {
      {overlong + whole, 1},
      {whole.substr(0, finalTable) + overlong + whole.substr(finalTable),
       static_cast<int>(std::count(whole.begin(), whole.begin() + finalTable, '\n')) + 1},
  };
  for (const auto& [text, line] : cases) {
    writeInput(text);
    const std::string number = std::to_string(line);
    expectRefused(testing::kInputFileError, "a line over 1 MiB at line " + number,
                  ", line " + number + ": the line is longer than any MOPAC writes\n  " + number +
                      " | " + quotedLine(words));
  }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Sanitizers reserve far more address space than any limit that tests this would allow.
// Memory that the input, not the scale, exhausts: the message says what is too large.
TEST(ExhaustedMemory, TheOverlapMatrixOfTooManyAosIsNamed) {
  Calculation calculation;
  calculation.atoms = {{"H", {0.0, 0.0, 0.0}}};
  calculation.basis.assign(20000, BasisFunction{0, 1, AoType::s, 1.0});
  rlimit kept{};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &kept), 0);
  // The 1.5 GB matrix cannot be had within 1 GB of address space.
  rlimit tight = kept;
  tight.rlim_cur = rlim_t{1} << 30;
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &tight), 0);
  std::string error;
  const bool computed = ensureOverlap(calculation, error);
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &kept), 0);
  EXPECT_FALSE(computed);
  EXPECT_EQ(error, "its 20000 AOs need an overlap matrix of 1.5 GB, more than the memory allows");
}
#endif

}  // namespace
}  // namespace lobewright
