#pragma once

#include <cstdint>
#include <string>

#include "input/calculation.h"
#include "writers/colours.h"
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

// What is drawn: an MO, or a density of the calculation's electrons (both spins, one of them, or
// alpha less beta).
enum class FieldKind : uint8_t { mo, density, alpha, beta, spin };

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
  // Whether the field takes both signs and so draws two lobes: an MO, a spin density, any
  // difference; a density of electrons is never negative.
  [[nodiscard]] bool isSigned() const {
    return kind == FieldKind::mo || kind == FieldKind::spin || !minusFile.empty() ||
           fukui != FukuiKind::none;
  }
};

// How a picture is made of the surface: for framed .pov scenes and .png pictures.
struct PictureSettings {
  // A .pov scene with a camera fitted to the molecule rather than the classic scene.
  bool frame = false;
  ViewDirection view = ViewDirection::best;
  LobeColours colours;
  double transparency = 0.0;  // of the lobes, 0 to 1
  int32_t width = 1280;       // pixels of a .png picture
  int32_t height = 960;
};

// What one conversion is asked to do; starts at the window's defaults.
struct ConversionSettings {
  int32_t moNumber = 1;
  int32_t scale = 4;  // grid points per Angstrom
  float threshold = 0.05f;
  int32_t accuracy = 3;     // bisection steps per crossing edge
  float cutoff = 3.5f;      // Angstrom
  float bondLength = 1.6f;  // Angstrom
  bool showStructure = true;
  std::string outputPath;
  OutputKind outputKind = OutputKind::LScript;
  OrbitalModel model = OrbitalModel::automatic;
  Spin spin = Spin::alpha;  // of a spin-resolved calculation
  bool deorthogonalise = true;
  FieldSettings field;
  PictureSettings picture;
};

// The part of the settings that the scene and script writers use.
[[nodiscard]] inline SceneOptions sceneOptions(const ConversionSettings& settings) {
  return {settings.threshold, settings.accuracy, settings.scale, settings.bondLength,
          settings.showStructure};
}

}  // namespace lobewright
