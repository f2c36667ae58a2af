#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "writers/colours.h"
#include "writers/level_diagram.h"

namespace lobewright {

// A level diagram laid out on a page of pixels, y growing downwards: lines, filled triangles (the
// heads of arrows) and texts, which the SVG writer and the window paint as they are, and the
// place of every level, for finding the level under a pointer.

struct DiagramPoint {
  double x = 0.0;
  double y = 0.0;
};

struct DiagramLine {
  DiagramPoint from;
  DiagramPoint to;
  double width = 1.0;
  Rgb colour;
};

struct DiagramTriangle {
  std::array<DiagramPoint, 3> corners;
  Rgb colour;
};

enum class TextAnchor { start, middle, end };

// One line of text; `at` is on its baseline, at its start, middle or end.
struct DiagramText {
  DiagramPoint at;
  std::string text;
  double size = 12.0;  // pixels
  TextAnchor anchor = TextAnchor::start;
  bool bold = false;
  Rgb colour;
};

// The box of a level's line, or of its label, and the level it stands for.
struct DiagramPlace {
  std::size_t column = 0;
  std::size_t level = 0;  // in the column's levels
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

struct DiagramLayout {
  double width = 0.0;
  double height = 0.0;
  std::vector<DiagramLine> lines;
  std::vector<DiagramTriangle> triangles;
  std::vector<DiagramText> texts;
  std::vector<DiagramPlace> places;
};

// What a diagram tells besides its levels, their electrons and the gap's arrow: everything (the
// title, the energy axis, energies, MO numbers, symmetry labels, the HOMO and LUMO names and the
// gap's value), the energies and the gap's value only, or nothing, for a narrow strip.
enum class DiagramDetail { annotated, energies, levels };

struct DiagramStyle {
  double width = 900.0;
  double height = 1000.0;
  double fontSize = 0.0;  // pixels; 0 takes one from the page's size
  DiagramDetail detail = DiagramDetail::annotated;
};

// Levels on an energy scale (eV), each column beside the last; degenerate levels side by side,
// electrons as arrows on them, every level's energy (two decimals) on a label beside it, with a
// line to it when labels had to move apart, and the HOMO-LUMO gap as an arrow with its value in eV.
// A page too narrow for the columns at the font size gets a smaller font; one too narrow for the
// energies at the smallest font, the levels alone.
[[nodiscard]] DiagramLayout layOutDiagram(const LevelDiagram& diagram, const DiagramStyle& style);

// The level whose line or label holds the point (of close levels, the one nearest it), or
// nothing.
[[nodiscard]] std::optional<DiagramPlace> levelAt(const DiagramLayout& layout, DiagramPoint point);

// An energy as every diagram prints it: two decimals, "-9.07".
[[nodiscard]] std::string energyText(double energy);

}  // namespace lobewright
