// The MOPAC 22 samples of every method, read as chemists keep them (.aux, .out, .mgf): the exact
// model gives the same orbital from each, and closed, outward, manifold lobes at every scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/exact_input.h"
#include "app/loaded_input.h"
#include "app/orbital_list.h"
#include "input/orbital_choice.h"
#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "mesh/mesh_check.h"
#include "mesh/surface_box.h"
#include "mesh/watertight_mesher.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;

std::string samplePath(const std::string& name) { return testing::dataPath("aux/" + name); }

std::vector<std::string> samplesWithExtension(const std::string& extension) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(testing::dataPath("aux"))) {
    if (entry.path().extension() == extension) names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A file read the way a conversion reads it, in the exact model.
Calculation calculationOf(const std::string& path) {
  ConversionRequest request;
  request.inputFile = path;
  request.settings.model = OrbitalModel::exact;
  testing::RecordingSink sink;
  InputLoad load = loadInput(request, sink);
  EXPECT_TRUE(load.input) << load.failure.message;
  return load.input ? std::move(*load.input->exact) : Calculation{};
}

ExactOrbital orbitalOf(Calculation& calculation, const std::string& path, int mo, Spin spin) {
  ConversionSettings settings;
  settings.moNumber = mo;
  settings.spin = spin;
  ExactOrbitalInput input = exactOrbitalOf(calculation, settings, path);
  EXPECT_TRUE(input.orbital) << path << ": " << input.failure.message;
  return std::move(*input.orbital);
}

// Points around every atom, where the orbital's lobes are.
std::vector<Vec3> probePoints(const Calculation& calculation) {
  std::vector<Vec3> points;
  for (const CalculationAtom& atom : calculation.atoms) {
    for (const Vec3& step : {Vec3{0.4, 0.2, -0.3}, Vec3{-0.7, 0.5, 0.6}, Vec3{0.1, -0.9, 0.8}}) {
      points.push_back(atom.position + step);
    }
  }
  return points;
}

TEST(SharedSamples, OutAndMgfFilesGiveTheOrbitalOfTheAux) {
  int compared = 0;
  for (const std::string& name : samplesWithExtension(".aux")) {
    Calculation aux = calculationOf(samplePath(name + ".aux"));
    const FrontierOrbitals frontier = frontierOrbitals(aux, Spin::alpha);
    ASSERT_TRUE(frontier.error.empty()) << name;
    const ExactOrbital reference = orbitalOf(aux, name, frontier.homo, Spin::alpha);
    double largest = 0.0;
    for (const Vec3& p : probePoints(aux))
      largest = std::max(largest, std::fabs(reference.valueAt(p)));

    // The .out prints 4 decimals, the .mgf 8 significant digits.
    for (const auto& [extension, tolerance] : {std::pair{".out", 2e-3}, std::pair{".mgf", 1e-4}}) {
      const std::string path = samplePath(name + extension);
      if (!fs::exists(path)) continue;
      Calculation other = calculationOf(path);
      ASSERT_EQ(other.atoms.size(), aux.atoms.size()) << path;
      const ExactOrbital orbital = orbitalOf(other, path, frontier.homo, Spin::alpha);
      // Orbitals are defined up to their sign.
      double same = 0.0;
      double opposite = 0.0;
      for (const Vec3& p : probePoints(aux)) {
        same = std::max(same, std::fabs(orbital.valueAt(p) - reference.valueAt(p)));
        opposite = std::max(opposite, std::fabs(orbital.valueAt(p) + reference.valueAt(p)));
      }
      EXPECT_LT(std::min(same, opposite), tolerance * largest) << path;
      ++compared;
    }
  }
  EXPECT_GE(compared, 30);
}

TEST(SharedSamples, EveryLobeIsClosedOutwardAndManifoldAtScalesThreeToEight) {
  constexpr double kThreshold = 0.05;
  for (const std::string& name : samplesWithExtension(".aux")) {
    Calculation calculation = calculationOf(samplePath(name + ".aux"));
    const FrontierOrbitals frontier = frontierOrbitals(calculation, Spin::alpha);
    for (const int mo : {frontier.homo, frontier.lumo}) {
      const ExactOrbital orbital = orbitalOf(calculation, name, mo, Spin::alpha);
      const AtomExtent extent = atomExtent(calculation.atoms);
      // The large alkane at the coarsest and finest scale only, to keep the run short.
      const bool large = calculation.atoms.size() > 50;
      for (int scale = 3; scale <= 8; scale += large ? 5 : 1) {
        const auto box = findSurfaceBox(orbital, kThreshold, scale, extent.low, extent.high);
        ASSERT_TRUE(box) << name;
        const OrbitalMesh mesh = meshIsosurface(orbital, kThreshold, scale, *box, {});
        for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
          const LobeMeshCheck check = checkLobeMesh(mesh.lobe(sign), 0.0);
          const std::string what = name + " MO " + std::to_string(mo) + " scale " +
                                   std::to_string(scale) +
                                   (sign == LobeSign::positive ? " positive" : " negative");
          EXPECT_TRUE(check.watertight()) << what;
          EXPECT_GE(check.signedVolume, 0.0) << what;
          EXPECT_EQ(check.degenerateTriangles, 0) << what;
        }
        EXPECT_FALSE(mesh.positive.triangles.empty() && mesh.negative.triangles.empty()) << name;
      }
    }
  }
}

TEST(SharedSamples, TheListOfMosMatchesTheAuxEnergies) {
  for (const std::string& name : samplesWithExtension(".aux")) {
    if (!fs::exists(samplePath(name + ".out"))) continue;
    const std::vector<OrbitalRow> fromAux = orbitalRows(calculationOf(samplePath(name + ".aux")));
    const std::vector<OrbitalRow> fromOut = orbitalRows(calculationOf(samplePath(name + ".out")));
    for (const OrbitalRow& row : fromOut) {
      const auto same = std::find_if(fromAux.begin(), fromAux.end(), [&](const OrbitalRow& a) {
        return a.number == row.number && a.spin == row.spin;
      });
      if (same == fromAux.end()) continue;
      // The .out prints energies to 3 or 4 decimals, the .aux to 12.
      EXPECT_NEAR(row.energy.value_or(0.0), same->energy.value_or(1.0), 6e-4)
          << name << " MO " << row.number;
      EXPECT_EQ(row.frontier, same->frontier) << name << " MO " << row.number;
    }
  }
}

}  // namespace
}  // namespace lobewright
