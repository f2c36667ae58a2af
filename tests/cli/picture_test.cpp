// Pictures rendered by POV-Ray from framed scenes: the size asked for, nothing cut off at the
// border, the molecule filling a fair part of the picture, both lobes in the colours the scene
// gives them, flat pi systems seen tilted, localized orbitals framed large, galleries of panels,
// no temporary file left behind.
#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>
#include <cmath>
#include <filesystem>
#include <regex>

#include "input/aux_reader.h"
#include "support/golden.h"
#include "support/png_image.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "writers/colours.h"
#include "writers/picture_sheet.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;
using testing::dataPath;
using testing::quoted;

// The colours a framed scene gives its lobes and atoms, in sRGB.
struct SceneColours {
  Rgb positive;
  Rgb negative;
  std::vector<Rgb> atoms;
};

float srgbFromLinear(double linear) {
  return static_cast<float>(linear <= 0.0031308 ? 12.92 * linear
                                                : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055);
}

SceneColours sceneColours(const std::string& scene) {
  const std::regex colour(
      R"((Positive = texture|Negative = texture|sphere \{ <[^>]*>, [^ ]+ texture) \{ pigment \{ color rgbt <([^,]+),([^,]+),([^,]+),)");
  SceneColours colours;
  for (auto match = std::sregex_iterator(scene.begin(), scene.end(), colour);
       match != std::sregex_iterator(); ++match) {
    const Rgb rgb{srgbFromLinear(std::stod((*match)[2])), srgbFromLinear(std::stod((*match)[3])),
                  srgbFromLinear(std::stod((*match)[4]))};
    const std::string what = (*match)[1];
    if (what.rfind("Positive", 0) == 0) {
      colours.positive = rgb;
    } else if (what.rfind("Negative", 0) == 0) {
      colours.negative = rgb;
    } else {
      colours.atoms.push_back(rgb);
    }
  }
  return colours;
}

// Whether a pixel shows the colour, lit or shaded: alike once both are scaled to full brightness.
bool shows(const uint8_t* rgb, const Rgb& colour) {
  const double brightest = std::max({rgb[0], rgb[1], rgb[2]}) / 255.0;
  const double full = std::max({colour.r, colour.g, colour.b});
  if (brightest < 0.2 || full <= 0.0) return false;
  double distance = 0.0;
  const double pixel[3] = {rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0};
  const double wanted[3] = {colour.r, colour.g, colour.b};
  for (int k = 0; k < 3; ++k) distance += std::pow(pixel[k] / brightest - wanted[k] / full, 2);
  return std::sqrt(distance) < 0.3;
}

// The extent of the picture that is not background, as fractions of its width and height, and
// the pixels of either lobe's colour.
struct Coverage {
  bool borderIsBackground = true;
  double width = 0.0;
  double height = 0.0;
  int positivePixels = 0;
  int negativePixels = 0;
};

Coverage coverageOf(const testing::RgbImage& image, const SceneColours& colours = {}, int left = 0,
                    int top = 0, int right = -1, int bottom = -1) {
  if (right < 0) right = image.width;
  if (bottom < 0) bottom = image.height;
  Coverage coverage;
  int low[2] = {right, bottom};
  int high[2] = {-1, -1};
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (image.isWhite(x, y)) continue;
      const uint8_t* rgb = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
      if (shows(rgb, colours.positive)) ++coverage.positivePixels;
      if (shows(rgb, colours.negative)) ++coverage.negativePixels;
      low[0] = std::min(low[0], x);
      high[0] = std::max(high[0], x);
      low[1] = std::min(low[1], y);
      high[1] = std::max(high[1], y);
      if (x == left || y == top || x == right - 1 || y == bottom - 1) {
        coverage.borderIsBackground = false;
      }
    }
  }
  if (high[0] >= low[0]) {
    coverage.width = static_cast<double>(high[0] - low[0] + 1) / (right - left);
    coverage.height = static_cast<double>(high[1] - low[1] + 1) / (bottom - top);
  }
  return coverage;
}

class Picture : public ::testing::Test {
 protected:
  testing::ProgramResult convert(const std::string& input, const std::string& options,
                                 const std::string& output = {}) {
    return testing::runProgram("TMPDIR=" + quoted(m_temporary.file("")) +
                                   quoted(LOBEWRIGHT_CONVERTER) + quoted(input) +
                                   quoted(output.empty() ? m_picture : output) + options,
                               m_dir);
  }

  // The colours of the framed scene that the same options make (but the picture's size).
  SceneColours coloursOf(const std::string& input, const std::string& options) {
    const std::string scene = m_dir.file("scene.pov");
    const auto result = convert(input, options + " --frame --scale 4", scene);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return sceneColours(testing::readFile(scene));
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

// Every MOPAC 22 sample's HOMO in the exact model: the whole molecule and both lobes in view, in
// colours none of the atoms has.
TEST_F(Picture, EverySamplesHomoShowsBothLobesWholeInColoursNoAtomHas) {
  for (const auto& entry : fs::directory_iterator(dataPath("aux"))) {
    if (entry.path().extension() != ".aux") continue;
    const std::string sample = entry.path().filename();
    const auto result = convert(entry.path(), "--homo --size 160x120 --quiet");
    ASSERT_EQ(result.exitCode, 0) << sample << ": " << result.err;
    const SceneColours colours = coloursOf(entry.path(), "--homo --quiet");
    for (const Rgb& atom : colours.atoms) {
      EXPECT_FALSE(coloursAlike(atom, colours.positive) || coloursAlike(atom, colours.negative))
          << sample;
    }
    const Coverage coverage = coverageOf(testing::readPng(m_picture), colours);
    EXPECT_TRUE(coverage.borderIsBackground) << sample;
    EXPECT_GT(std::max(coverage.width, coverage.height), 0.5) << sample;
    EXPECT_GT(coverage.positivePixels, 20) << sample;
    EXPECT_GT(coverage.negativePixels, 20) << sample;
  }
}

// The picture looks at caffeine's pi HOMO 40 degrees off the ring's normal, so that the lobes
// under the plane show beside those over it; at an in-plane sigma MO straight down the normal.
TEST_F(Picture, AFlatPiSystemIsSeenTiltedOffItsPlane) {
  const std::string sample = dataPath("aux/caffeine_PM7.aux");
  const CalculationRead read = readAuxFile(sample);
  ASSERT_TRUE(read.calculation);
  Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
  Eigen::Vector3d mean = Eigen::Vector3d::Zero();
  std::vector<Eigen::Vector3d> heavy;
  for (const CalculationAtom& atom : read.calculation->atoms) {
    if (atom.symbol != "H") heavy.emplace_back(atom.position.x, atom.position.y, atom.position.z);
  }
  for (const auto& p : heavy) mean += p / static_cast<double>(heavy.size());
  for (const auto& p : heavy) spread += (p - mean) * (p - mean).transpose();
  const Eigen::Vector3d normal =
      Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d>(spread).eigenvectors().col(0);
  const struct {
    const char* mo;
    double cosine;  // of the angle between the view and the normal
  } cases[] = {{"HOMO", std::cos(40.0 * M_PI / 180.0)}, {"35", 1.0}};
  for (const auto& c : cases) {
    const std::string scene = m_dir.file("scene.pov");
    ASSERT_EQ(convert(sample, std::string("--frame --quiet --mo ") + c.mo, scene).exitCode, 0);
    // The molecule is moved into the camera's frame; the third column is minus the view's back.
    std::smatch matrix;
    const std::string text = testing::readFile(scene);
    ASSERT_TRUE(std::regex_search(
        text, matrix,
        std::regex(R"(matrix <[^,]+,[^,]+,([^,]+),[^,]+,[^,]+,([^,]+),[^,]+,[^,]+,([^,]+),)")));
    const Eigen::Vector3d back(std::stod(matrix[1]), std::stod(matrix[2]), std::stod(matrix[3]));
    EXPECT_NEAR(std::fabs(back.dot(normal)), c.cosine, 0.01) << c.mo;
  }
}

// The lone pair at the end of a chain of twenty carbons: framed with its neighbourhood, its lobes
// fill a good part of the picture; the whole molecule leaves them small.
TEST_F(Picture, ALocalizedHomoIsFramedLarge) {
  const std::string sample = dataPath("localized/icosylamine_PM7.aux");
  const std::string options = "--homo --size 320x240 --quiet";
  const SceneColours colours = coloursOf(sample, "--homo --quiet");
  double share[2] = {};
  for (const int whole : {0, 1}) {
    ASSERT_EQ(convert(sample, options + (whole ? " --view whole" : "")).exitCode, 0);
    const Coverage coverage = coverageOf(testing::readPng(m_picture), colours);
    share[whole] = (coverage.positivePixels + coverage.negativePixels) / (320.0 * 240.0);
  }
  EXPECT_GT(share[0], 0.08) << share[1];
  EXPECT_GT(share[0], 5.0 * share[1]);
}

// A gallery is one picture of panels, each MO's in its own, with the page's size.
TEST_F(Picture, AGalleryHasAPanelForEveryMo) {
  const struct {
    std::string sample;
    std::string options;
    int panels;
  } cases[] = {
      {dataPath("aux/caffeine_PM7.aux"), "--mo HOMO-2..LUMO+1", 5},
      {dataPath("caffeine.mno"), "--params " + quoted(dataPath("pm3r.txt")) + "--mo 36,37,38", 3},
      {dataPath("aux/methylradical_PM7.aux"), "--spin beta --threshold 85%", 6},
  };
  for (const auto& c : cases) {
    const auto result = convert(c.sample, "--gallery --size 480x360 --quiet " + c.options);
    ASSERT_EQ(result.exitCode, 0) << c.sample << ": " << result.err;
    const testing::RgbImage image = testing::readPng(m_picture);
    ASSERT_EQ(image.width, 480);
    ASSERT_EQ(image.height, 360);
    const bool share = c.options.find('%') != std::string::npos;
    const SheetGrid grid = sheetGrid(c.panels, 480, 360, share ? 3 : 2, true);
    int drawn = 0;
    for (int cell = 0; cell < grid.columns * grid.rows; ++cell) {
      const SheetPanel panel = sheetPanel(grid, cell);
      const Coverage coverage = coverageOf(
          image, {}, static_cast<int>(panel.left), static_cast<int>(panel.top),
          static_cast<int>(panel.left + panel.width), static_cast<int>(panel.top + panel.height));
      if (coverage.width > 0.3) ++drawn;
    }
    EXPECT_EQ(drawn, c.panels) << c.sample;
  }
  EXPECT_TRUE(fs::is_empty(m_temporary.file("")));
}

// With an enclosed share the picture tells the isovalue on a caption line under it.
TEST_F(Picture, AnEnclosedShareIsToldOnTheCaption) {
  const std::string sample = dataPath("aux/formaldehyde_PM7.aux");
  for (const bool share : {false, true}) {
    const auto result = convert(
        sample, std::string("--homo --size 320x240 --quiet") + (share ? " --threshold 85%" : ""));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const testing::RgbImage image = testing::readPng(m_picture);
    ASSERT_EQ(image.width, 320);
    const Coverage bottom = coverageOf(image, {}, 0, 225, 320, 240);
    EXPECT_EQ(bottom.width > 0.3, share);
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
      molecule.positivePixels += rgb[0] > 120 && rgb[2] + 60 < rgb[0];
      molecule.negativePixels += rgb[2] > 120 && rgb[0] + 60 < rgb[2];
    }
  }
  EXPECT_GT(molecule.positivePixels, 300);
  EXPECT_GT(molecule.negativePixels, 300);
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

// The temporary folder comes from TMPDIR, whatever its name holds; one that is not there is named.
// A renderer that reports a percentage beyond any is held to 100.
TEST_F(Picture, TemporaryFoldersAndRenderersAsTheyCome) {
  const std::string options = " --mo 6 --size 64x48 --params " + quoted(dataPath("pm3r.txt"));
  const std::string blank = m_temporary.file("with a blank");
  fs::create_directory(blank);
  auto result =
      testing::runProgram("TMPDIR=" + quoted(blank) + quoted(LOBEWRIGHT_CONVERTER) +
                              quoted(dataPath("formaldehyde.mno")) + quoted(m_picture) + options,
                          m_dir);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(testing::readPng(m_picture).width, 64);
  EXPECT_TRUE(fs::is_empty(blank));

  const std::string missing = m_temporary.file("missing");
  result = testing::runProgram("TMPDIR=" + quoted(missing) + quoted(LOBEWRIGHT_CONVERTER) +
                                   quoted(dataPath("formaldehyde.mno")) +
                                   quoted(m_dir.file("m.png")) + options,
                               m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Lobewright error: Cannot make a temporary folder for the picture.\nTMPDIR "
            "names " +
                missing + ": No such file or directory\n");

  const std::string renderer = m_temporary.file("bin/povray");
  fs::create_directory(m_temporary.file("bin"));
  testing::writeFile(renderer, "#!/bin/sh\necho 'Rendered 1 of 2 pixels (2147483647%)'\nexit 1\n");
  fs::permissions(renderer, fs::perms::owner_all);
  result = testing::runProgram(
      "PATH='" + m_temporary.file("bin") + "':\"$PATH\" " + quoted(LOBEWRIGHT_CONVERTER) +
          quoted(dataPath("formaldehyde.mno")) + quoted(m_dir.file("r.png")) + options,
      m_dir);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(testing::firstLine(result.err),
            "Lobewright error: POV-Ray could not render the picture:");
}

}  // namespace
}  // namespace lobewright
