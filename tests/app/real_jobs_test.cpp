// What the list, the conversion and the kinds of input make of MOPAC 22 jobs as users run them
// (tests/data/jobs): open shells, degenerate MOs, localized MOs, files given by mistake, cubes
// for viewers that draw their own surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "app/conversion.h"
#include "app/input_kind.h"
#include "app/orbital_list.h"
#include "input/aux_reader.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

using testing::dataPath;

Calculation job(const std::string& name) {
  CalculationRead read = readAuxFile(dataPath(name));
  if (!read.calculation) ADD_FAILURE() << read.error.message();
  return read.calculation.value_or(Calculation{});
}

std::string marksOf(const std::vector<OrbitalRow>& rows, int number, Spin spin) {
  for (const OrbitalRow& row : rows) {
    if (row.number == number && row.spin == spin) return orbitalMarks(row);
  }
  return "absent";
}

// O2's triplet: the two pi* MOs hold one electron each, in ROHF (OPEN(2,2)) as in UHF, where
// they are the alpha MOs without a beta partner; LMOs are marked and have no HOMO.
TEST(RealJobList, SinglyOccupiedAndLocalizedMosAreMarked) {
  const std::vector<OrbitalRow> open = orbitalRows(job("jobs/o2_triplet_open22_PM7.aux"));
  EXPECT_EQ(marksOf(open, 5, Spin::none), "");
  EXPECT_EQ(marksOf(open, 6, Spin::none), "SOMO");
  EXPECT_EQ(marksOf(open, 7, Spin::none), "SOMO,HOMO");
  EXPECT_EQ(marksOf(open, 8, Spin::none), "LUMO");
  const std::vector<OrbitalRow> uhf = orbitalRows(job("jobs/o2_triplet_uhf_PM7.aux"));
  EXPECT_EQ(marksOf(uhf, 6, Spin::alpha), "SOMO");
  EXPECT_EQ(marksOf(uhf, 7, Spin::alpha), "SOMO,HOMO");
  EXPECT_EQ(marksOf(uhf, 5, Spin::alpha), "");
  EXPECT_EQ(marksOf(uhf, 5, Spin::beta), "HOMO");
  EXPECT_EQ(marksOf(orbitalRows(job("aux/formaldehyde_PM7.aux")), 6, Spin::none), "HOMO");
  const std::vector<OrbitalRow> lmo = orbitalRows(job("jobs/formaldehyde_mozyme_lmo_PM7.aux"));
  EXPECT_EQ(marksOf(lmo, 6, Spin::none), "LMO");

  ConversionRequest request;
  request.inputFile = dataPath("jobs/formaldehyde_mozyme_eigen_mos3_PM7.aux");
  const std::string text = orbitalListText(listOrbitals(request));
  EXPECT_NE(text.find("\n# MOPAC writes the energies"), std::string::npos) << text;
  EXPECT_NE(text.find("\n6 - 2.0000 - - HOMO\n"), std::string::npos) << text;
}

TEST(RealJobList, DegenerateMosNameTheirPartners) {
  const Calculation o2 = job("jobs/o2_triplet_uhf_PM7.aux");
  EXPECT_EQ(degeneratePartners(o2, 7, Spin::alpha), std::vector<int>{6});
  EXPECT_EQ(degeneratePartners(o2, 6, Spin::beta), std::vector<int>{7});
  EXPECT_EQ(degeneratePartners(o2, 8, Spin::alpha), std::vector<int>{});
  EXPECT_EQ(degeneracyNote(o2, 4, Spin::beta).rfind("beta MO 4 is degenerate with beta MO 5", 0),
            0u);
  const Calculation formaldehyde = job("aux/formaldehyde_PM7.aux");
  EXPECT_EQ(degeneracyNote(formaldehyde, 6, Spin::alpha), "");
  // LMOs and unknown energies have no partners.
  EXPECT_TRUE(degeneratePartners(job("jobs/formaldehyde_mozyme_eigen_mos3_PM7.aux"), 6, Spin::none)
                  .empty());

  // Drawing one of them says so.
  testing::TempDir directory;
  ConversionRequest request;
  request.inputFile = dataPath("jobs/o2_triplet_open22_PM7.aux");
  request.settings.moNumber = 6;
  request.settings.outputPath = directory.file("pistar.glb");
  request.settings.outputKind = OutputKind::Gltf;
  testing::RecordingSink sink;
  ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].caption, kNoteCaption);
  EXPECT_NE(sink.messages[0].text.find("MO 6 is degenerate with MO 7"), std::string::npos);
}

// An archive or an input deck given instead of a run's results is named for what it is.
TEST(RealJobList, ArchivesAndDecksAreNamed) {
  struct Case {
    const char* file;
    InputKind kind;
    const char* words;
  };
  for (const Case c : {Case{"jobs/formaldehyde_mozyme_lmo_PM7.arc", InputKind::archive, "archive"},
                       Case{"jobs/o2_triplet_uhf_PM7.mop", InputKind::inputDeck, "input for"},
                       Case{"jobs/failed_scf_PM7.mop", InputKind::inputDeck, "input for"},
                       Case{"aux/caffeine_PM7.mop", InputKind::inputDeck, "input for"},
                       Case{"aux/formaldehyde_mozyme_eigen_PM7.mop", InputKind::inputDeck, ""},
                       Case{"aux/formaldehyde_PM7.out", InputKind::newerLayout, ""},
                       Case{"jobs/failed_spin_PM7.out", InputKind::otherText, ""}}) {
    EXPECT_EQ(detectFileKind(dataPath(c.file)), c.kind) << c.file;
    if (*c.words == '\0') continue;
    ConversionRequest request;
    request.inputFile = dataPath(c.file);
    const OrbitalListing listing = listOrbitals(request);
    EXPECT_NE(listing.error.find(c.words), std::string::npos) << listing.error;
  }
}

// A cube read from the faces of its box.
struct CubeFaces {
  std::array<int, 3> counts{};
  double largestOnFaces = 0.0;
  double largest = 0.0;
};

CubeFaces readCube(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  int atoms = 0;
  double ignored = 0.0;
  in >> atoms >> ignored >> ignored >> ignored;
  CubeFaces cube;
  for (int& count : cube.counts) in >> count >> ignored >> ignored >> ignored;
  for (int i = 0; i < std::abs(atoms); ++i) {
    for (int k = 0; k < 5; ++k) in >> ignored;
  }
  for (int x = 0; x < cube.counts[0]; ++x) {
    for (int y = 0; y < cube.counts[1]; ++y) {
      for (int z = 0; z < cube.counts[2]; ++z) {
        double value = 0.0;
        in >> value;
        const bool face = x == 0 || y == 0 || z == 0 || x == cube.counts[0] - 1 ||
                          y == cube.counts[1] - 1 || z == cube.counts[2] - 1;
        cube.largest = std::max(cube.largest, std::fabs(value));
        if (face) cube.largestOnFaces = std::max(cube.largestOnFaces, std::fabs(value));
      }
    }
  }
  EXPECT_TRUE(in) << path;
  return cube;
}

// A cube's box holds every point where |psi| reaches a fifth of the threshold, so that a viewer's
// surface at 0.02 from a cube made at 0.05 closes; --margin sets the box around the atoms.
TEST(RealJobCube, TheBoxHoldsAFifthOfTheThresholdOrTheMarginGiven) {
  testing::TempDir directory;
  ConversionRequest request;
  request.inputFile = dataPath("aux/formaldehyde_PM7.aux");
  request.settings.moNumber = 6;
  request.settings.scale = 3;
  request.settings.threshold = 0.05f;
  request.settings.outputKind = OutputKind::Cube;
  request.settings.outputPath = directory.file("homo.cube");
  testing::RecordingSink sink;
  ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded());
  const CubeFaces reaching = readCube(request.settings.outputPath);
  EXPECT_GT(reaching.largest, 0.1);
  EXPECT_LT(reaching.largestOnFaces, 0.01);

  request.settings.cubeMargin = 2.0;
  ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded());
  // Its atoms lie from x = 0.489 to 2.301 Angstrom: the grid points from floor(-1.511 * 3) = -5 to
  // ceil(4.301 * 3) = 13 at 3 points per Angstrom.
  EXPECT_EQ(readCube(request.settings.outputPath).counts[0], 19);
}

// A cube's rows are shared among the threads: each lands where one thread alone puts it, for the
// fields that evaluate points in batches (an MO, a density) and one point at a time (the
// potential), and a progress that only rises.
TEST(RealJobCube, IsTheSameOnOneThreadAndOnSeveral) {
  testing::TempDir directory;
  for (const FieldKind kind : {FieldKind::mo, FieldKind::density, FieldKind::esp}) {
    ConversionRequest request;
    request.inputFile = dataPath("aux/formaldehyde_PM7.aux");
    request.settings.moNumber = 6;
    request.settings.field.kind = kind;
    request.settings.scale = 3;
    request.settings.outputKind = OutputKind::Cube;
    const auto cube = [&](int threads) {
      request.sweep.threads = threads;
      request.settings.outputPath = directory.file(std::to_string(threads) + ".cube");
      testing::RecordingSink sink;
      std::vector<int> reports;
      EXPECT_TRUE(runConversion(request, sink, [&](int percent) {
                    reports.push_back(percent);
                  }).succeeded());
      EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
      return testing::readFile(request.settings.outputPath);
    };
    const std::string alone = cube(1);
    EXPECT_GT(alone.size(), 10000u);
    EXPECT_EQ(cube(3), alone) << static_cast<int>(kind);
  }
}

}  // namespace
}  // namespace lobewright
