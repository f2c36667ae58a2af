#include "writers/cube_writer.h"

#include <array>
#include <charconv>
#include <cmath>

#include "input/elements.h"
#include "orbital/slater_basis.h"

namespace lobewright {
namespace {

constexpr int kValuesPerLine = 6;
constexpr std::size_t kValueWidth = 13;
constexpr std::size_t kCoordinateWidth = 12;
constexpr std::size_t kCountWidth = 5;

// Right-aligns `text` in `width` columns, as printf does; wider text is kept whole.
void appendPadded(std::string& out, std::string_view text, std::size_t width) {
  if (text.size() < width) out.append(width - text.size(), ' ');
  out.append(text);
}

void appendValue(std::string& out, double value) {
  std::array<char, 32> text{};
  char* end =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::scientific, 5)
          .ptr;
  // to_chars writes "e", "inf" and "nan" where %E writes "E", "INF" and "NAN".
  for (char* c = text.data(); c != end; ++c) {
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  }
  appendPadded(out, {text.data(), static_cast<std::size_t>(end - text.data())}, kValueWidth);
}

void appendCoordinate(std::string& out, double value) {
  std::array<char, 400> text{};
  const char* end =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6).ptr;
  appendPadded(out, {text.data(), static_cast<std::size_t>(end - text.data())}, kCoordinateWidth);
}

void appendCount(std::string& out, long long count) {
  appendPadded(out, std::to_string(count), kCountWidth);
}

// A comment must stay one line.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

std::string formatCubeValue(double value) {
  std::string text;
  appendValue(text, value);
  return text;
}

std::string formatCubeCoordinate(double value) {
  std::string text;
  appendCoordinate(text, value);
  return text;
}

std::string writeCube(std::ostream& out, const CubeGrid& grid,
                      const std::vector<CalculationAtom>& atoms, const std::string& firstComment,
                      const std::string& secondComment, const CubePlaneSource& planes) {
  if (grid.countX < 1 || grid.countY < 1 || grid.countZ < 1) {
    return "The cube grid has no points.";
  }
  if (!(grid.spacing > 0.0) || !std::isfinite(grid.spacing)) {
    return "The cube grid's step is not a positive number.";
  }
  std::string text = oneLine(firstComment) + "\n" + oneLine(secondComment) + "\n";
  appendCount(text, static_cast<long long>(atoms.size()));
  for (const double coordinate : {grid.origin.x, grid.origin.y, grid.origin.z}) {
    appendCoordinate(text, coordinate * kBohrPerAngstrom);
  }
  text += '\n';
  const double step = grid.spacing * kBohrPerAngstrom;
  const std::array counts{grid.countX, grid.countY, grid.countZ};
  for (int axis = 0; axis < 3; ++axis) {
    appendCount(text, counts[axis]);
    for (int component = 0; component < 3; ++component) {
      appendCoordinate(text, component == axis ? step : 0.0);
    }
    text += '\n';
  }
  for (const CalculationAtom& atom : atoms) {
    const int number = atomicNumber(atom.symbol).value_or(0);
    appendCount(text, number);
    appendCoordinate(text, number);
    for (const double coordinate : {atom.position.x, atom.position.y, atom.position.z}) {
      appendCoordinate(text, coordinate * kBohrPerAngstrom);
    }
    text += '\n';
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));

  const auto runLength = static_cast<std::size_t>(grid.countZ);
  std::vector<double> plane(static_cast<std::size_t>(grid.countY) * runLength);
  for (int i = 0; i < grid.countX && out; ++i) {
    planes(i, plane);
    text.clear();
    for (std::size_t start = 0; start < plane.size(); start += runLength) {
      for (std::size_t k = 0; k < runLength; ++k) {
        appendValue(text, plane[start + k]);
        if ((k + 1) % kValuesPerLine == 0 || k + 1 == runLength) text += '\n';
      }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  out.flush();
  if (!out) return "The cube file could not be written.";
  return {};
}

}  // namespace lobewright
