#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/mo_selection.h"
#include "input/calculation.h"
#include "writers/colours.h"
#include "writers/palette.h"
#include "writers/scene_frame.h"
#include "writers/scene_options.h"

namespace lobewright {

// The output formats: the two classic ones first, with their classic values, then the newer.
enum class OutputKind : uint8_t { PovRay = 0, LScript = 1, Cube, Gltf, Obj, Ply, Stl, Png, Html };

// How the orbital is computed: the classic model (a PM3 table of s and p functions in single
// precision, the coefficients as printed) or the exact one (the calculation's own basis,
// de-orthogonalised, in double precision). Automatic takes classic for the older MOPAC layout and
// exact for every other input.
enum class OrbitalModel : uint8_t { automatic, classic, exact };

// What is drawn: an MO, a density of the calculation's electrons (both spins, one of them, or
// alpha less beta), or the electrostatic potential of its cores and electrons.
enum class FieldKind : uint8_t { mo, density, alpha, beta, spin, esp };

// A Fukui function from the calculations of N, N + 1 and N - 1 electrons at one geometry:
// f+ = rho(N+1) - rho(N), f- = rho(N) - rho(N-1), f0 = (rho(N+1) - rho(N-1)) / 2 and the dual
// descriptor f+ - f-.
enum class FukuiKind : uint8_t { none, plus, minus, zero, dual };

// The field a conversion draws and the other calculations it takes them from.
struct FieldSettings {
  FieldKind kind = FieldKind::mo;
  // A calculation of the same atoms whose same field is subtracted point by point; empty for none.
  std::string minusFile{};
  FukuiKind fukui = FukuiKind::none;
  std::string anionFile{};   // N + 1 electrons
  std::string cationFile{};  // N - 1 electrons

  // Whether the field is an MO of the input alone, as every classic drawing is.
  [[nodiscard]] bool isMo() const {
    return kind == FieldKind::mo && minusFile.empty() && fukui == FukuiKind::none;
  }
  // Whether the field takes both signs and so draws two lobes: an MO, a spin density, the
  // potential, any difference; a density of electrons is never negative.
  [[nodiscard]] bool isSigned() const {
    return kind == FieldKind::mo || kind == FieldKind::spin || kind == FieldKind::esp ||
           !minusFile.empty() || fukui != FukuiKind::none;
  }
};

// Isovalues of the fields made of densities, unless --threshold gives one (e/bohr^3): a density
// of electrons, and a field of both signs (a spin density, a difference, a Fukui function).
inline constexpr float kDensityThreshold = 0.002f;
inline constexpr float kSignedDensityThreshold = 0.005f;
// The potential's, in hartree per unit charge: about 30 kcal/mol.
inline constexpr float kPotentialThreshold = 0.05f;

// How a picture is made of the surface: for framed .pov scenes and .png pictures.
struct PictureSettings {
  // A .pov scene with a camera fitted to the molecule rather than the classic scene.
  bool frame = false;
  ViewDirection view = ViewDirection::best;
  LobeColours colours;
  // The colours were named by the user: pictures keep them rather than take a pair no atom's
  // colour is like.
  bool coloursNamed = false;
  double transparency = 0.0;  // of the lobes, 0 to 1
  int32_t width = 1280;       // pixels of a .png picture
  int32_t height = 960;
  // The grid's scale chosen from the picture's size, fine enough for smooth lobes, rather than
  // the settings' scale.
  bool fineGrid = false;
};

// What a surface is coloured by: another field of the same calculations, taken at each vertex.
struct ColouringSettings {
  // A density or potential (kind), a Fukui function (fukui, with the field's --anion and
  // --cation) or an MO (kind mo, the MO as --mo names one, of the settings' spin).
  struct Source {
    FieldKind kind = FieldKind::density;
    FukuiKind fukui = FukuiKind::none;
    MoName mo{};
  };
  struct Range {
    double low = -1.0;
    double high = 1.0;
  };
  std::optional<Source> source{};  // nothing: the lobes keep their own colours
  // The values at the palette's ends; nothing: from -max|v| to +max|v| over the surface.
  std::optional<Range> range{};
  Palette palette = Palette::redWhiteBlue;
};

// What one conversion is asked to do; starts at the window's defaults.
struct ConversionSettings {
  int32_t moNumber = 1;
  int32_t scale = 4;  // grid points per Angstrom
  float threshold = 0.05f;
  // When set, the surface encloses this share (0 to 1) of psi^2, or of the electrons for
  // densities, and the isovalue found from the field replaces the threshold.
  std::optional<double> enclosedFraction;
  int32_t accuracy = 3;     // bisection steps per crossing edge
  float cutoff = 3.5f;      // Angstrom
  float bondLength = 1.6f;  // Angstrom
  bool showStructure = true;
  std::string outputPath;
  OutputKind outputKind = OutputKind::LScript;
  OrbitalModel model = OrbitalModel::automatic;
  Spin spin = Spin::alpha;  // of a spin-resolved calculation
  bool deorthogonalise = true;
  // Angstrom of space around the atoms in a cube's box; empty: the box holds every point where
  // |field| >= threshold / 5, so that surfaces drawn from the cube at lower values close.
  std::optional<double> cubeMargin;
  FieldSettings field;
  PictureSettings picture;
  ColouringSettings colouring;
};

// The part of the settings that the scene and script writers use.
[[nodiscard]] inline SceneOptions sceneOptions(const ConversionSettings& settings) {
  return {settings.threshold, settings.accuracy, settings.scale, settings.bondLength,
          settings.showStructure};
}

}  // namespace lobewright
