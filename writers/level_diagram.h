#pragma once

#include <optional>
#include <string>
#include <vector>

#include "input/calculation.h"

namespace lobewright {

// What an MO energy-level diagram shows, in no particular format.

struct DiagramLevel {
  int number = 0;
  double energy = 0.0;     // eV
  double occupancy = 0.0;  // electrons
  std::string symmetry;    // empty when the file gives none
  std::string frontier;    // "HOMO", "LUMO" or empty
};

// The levels of one spin set. Spin::none is a restricted calculation's, two electrons to a level;
// alpha and beta are the columns of a spin-resolved one, an electron to a level.
struct DiagramColumn {
  Spin spin = Spin::none;
  std::vector<DiagramLevel> levels;  // lowest energy first
  std::optional<double> gap;         // LUMO - HOMO in eV, when the set has both
};

struct LevelDiagram {
  std::string title;
  std::vector<DiagramColumn> columns;
};

// Levels closer than this (eV) are one degenerate level, drawn side by side.
inline constexpr double kDegenerateEnergy = 0.01;

}  // namespace lobewright
