#pragma once

#include <string>
#include <vector>

#include "input/calculation.h"
#include "input/classic_calculation.h"
#include "input/point.h"

namespace lobewright {

// The atoms as the classic scene and script place them: a list of elements, each declared once
// with its colour, and every atom's element and position in grid units.
struct SceneAtoms {
  struct Element {
    std::string symbol;
    std::string povColour;  // "rgb<...>"
  };
  std::vector<Element> elements;
  std::vector<int> elementOfAtom;
  std::vector<Point> positions;
};

// The classic model's atoms on a grid of `scale` points per Angstrom: its parameter table's
// elements in table order, the first four coloured by their place in the table, as the classic
// scenes have always done.
[[nodiscard]] SceneAtoms classicSceneAtoms(const ClassicCalculation& calculation, int scale);

// The atoms of a calculation, positions in Angstrom, placed on a grid of `scale` points per
// Angstrom; each element is declared in order of first appearance and coloured by its symbol.
[[nodiscard]] SceneAtoms sceneAtoms(const std::vector<CalculationAtom>& atoms, int scale);

}  // namespace lobewright
