// Pictures rendered by POV-Ray from framed scenes: the size asked for, nothing cut off at the
// border, the molecule filling a fair part of the picture, no temporary file left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/golden.h"
#include "support/png_image.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;
using testing::dataPath;

std::string quoted(const std::string& word) { return '\'' + word + "' "; }

// The extent of the picture that is not background, as fractions of its width and height.
struct Coverage {
  bool borderIsBackground = true;
  double width = 0.0;
  double height = 0.0;
  int redPixels = 0;  // of the positive lobe's colour, lit or shaded
  int bluePixels = 0;
};

Coverage coverageOf(const testing::RgbImage& image) {
  Coverage coverage;
  int left = image.width, right = -1, top = image.height, bottom = -1;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.isWhite(x, y)) continue;
      const uint8_t* rgb = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
      if (rgb[0] > 100 && rgb[1] < 60 && rgb[2] < 60) ++coverage.redPixels;
      if (rgb[2] > 100 && rgb[0] < 60 && rgb[1] < 60) ++coverage.bluePixels;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      if (x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1) {
        coverage.borderIsBackground = false;
      }
    }
  }
  if (right >= left) {
    coverage.width = static_cast<double>(right - left + 1) / image.width;
    coverage.height = static_cast<double>(bottom - top + 1) / image.height;
  }
  return coverage;
}

class Picture : public ::testing::Test {
 protected:
  testing::ProgramResult convert(const std::string& input, const std::string& options) {
    return testing::runProgram("TMPDIR=" + quoted(m_temporary.file("")) +
                                   quoted(LOBEWRIGHT_CONVERTER) + quoted(input) +
                                   quoted(m_picture) + options,
                               m_dir);
  }

  testing::TempDir m_dir;
  testing::TempDir m_temporary;
  const std::string m_picture = m_dir.file("picture.png");
};

TEST_F(Picture, TheWholeMoleculeFillsThePictureWithNothingAtTheEdge) {
  const struct {
    const char* sample;
    const char* options;
  } cases[] = {
      {"caffeine.mno", "--mo 37 --size 320x240"},
      {"chloroform.mno", "--mo 13 --size 200x300 --view x"},
      {"benzene.mno", "--mo 15 --size 300x300 --view z --transparent 0.4 --colors orange,#2040ff"},
  };
  for (const auto& c : cases) {
    const auto result = convert(
        dataPath(c.sample), "--params " + quoted(dataPath("pm3r.txt")) + c.options + " --quiet");
    ASSERT_EQ(result.exitCode, 0) << c.sample << ": " << result.err;
    const testing::RgbImage image = testing::readPng(m_picture);
    const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
    EXPECT_NE(std::string(c.options).find(size), std::string::npos) << c.sample << " " << size;
    const Coverage coverage = coverageOf(image);
    EXPECT_TRUE(coverage.borderIsBackground) << c.sample;
    EXPECT_GT(std::max(coverage.width, coverage.height), 0.5) << c.sample;
    EXPECT_TRUE(fs::is_empty(m_temporary.file(""))) << c.sample;
  }
}

// Every MOPAC 22 sample's HOMO in the exact model: the whole molecule and both lobes in view.
TEST_F(Picture, EverySamplesHomoShowsBothLobesWhole) {
  for (const auto& entry : fs::directory_iterator(dataPath("aux"))) {
    if (entry.path().extension() != ".aux") continue;
    const std::string sample = entry.path().filename();
    const auto result = convert(entry.path(), "--homo --size 160x120 --quiet");
    ASSERT_EQ(result.exitCode, 0) << sample << ": " << result.err;
    const Coverage coverage = coverageOf(testing::readPng(m_picture));
    EXPECT_TRUE(coverage.borderIsBackground) << sample;
    EXPECT_GT(std::max(coverage.width, coverage.height), 0.5) << sample;
    EXPECT_GT(coverage.redPixels, 20) << sample;
    EXPECT_GT(coverage.bluePixels, 20) << sample;
  }
}

// The density's surface coloured by the HOMO: red and blue on the molecule, which keeps clear of
// the colour bar on the right; the bar runs from blue at its top to red at its bottom, with its
// words beside it in dark text.
TEST_F(Picture, AColouredSurfaceShowsRedBlueAndTheColourBar) {
  const auto result = convert(dataPath("aux/formaldehyde_PM7.aux"),
                              "--field density --color-by mo:HOMO --size 400x300 --quiet");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const testing::RgbImage image = testing::readPng(m_picture);
  ASSERT_EQ(image.width, 400);
  const auto pixel = [&](int x, int y) {
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
  };
  // Columns of the picture's right part that are mostly not background: the bar's.
  std::vector<int> barColumns;
  for (int x = image.width * 2 / 3; x < image.width; ++x) {
    int coloured = 0;
    for (int y = 0; y < image.height; ++y) coloured += !image.isWhite(x, y);
    if (coloured > image.height * 3 / 4) barColumns.push_back(x);
  }
  ASSERT_FALSE(barColumns.empty());
  const int bar = barColumns[barColumns.size() / 2];
  int top = 0;
  while (image.isWhite(bar, top)) ++top;
  int bottom = image.height - 1;
  while (image.isWhite(bar, bottom)) --bottom;
  const uint8_t* high = pixel(bar, top + (bottom - top) / 10);
  const uint8_t* low = pixel(bar, bottom - (bottom - top) / 10);
  EXPECT_GT(high[2], high[0] + 80) << "blue at the top";
  EXPECT_GT(low[0], low[2] + 80) << "red at the bottom";

  Coverage molecule;
  int text = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* rgb = pixel(x, y);
      if (x > barColumns.back() + 3) {  // past the bar and its frame
        text += std::max({rgb[0], rgb[1], rgb[2]}) < 160 &&
                std::max({rgb[0], rgb[1], rgb[2]}) - std::min({rgb[0], rgb[1], rgb[2]}) < 16;
        continue;
      }
      if (x >= barColumns.front() - 2) continue;
      molecule.redPixels += rgb[0] > 120 && rgb[2] + 60 < rgb[0];
      molecule.bluePixels += rgb[2] > 120 && rgb[0] + 60 < rgb[2];
    }
  }
  EXPECT_GT(molecule.redPixels, 300);
  EXPECT_GT(molecule.bluePixels, 300);
  EXPECT_GT(text, 100);
  EXPECT_TRUE(coverageOf(image).borderIsBackground);
}

TEST_F(Picture, WithoutPovRayThePictureFailsClearly) {
  const auto result = testing::runProgram(
      "PATH=/nonexistent " + quoted(LOBEWRIGHT_CONVERTER) + quoted(dataPath("formaldehyde.mno")) +
          quoted(m_picture) + "--mo 6 --params " + quoted(dataPath("pm3r.txt")),
      m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("POV-Ray is needed for .png pictures but was not found."),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(m_picture));
}

}  // namespace
}  // namespace lobewright
