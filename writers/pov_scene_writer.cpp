#include "writers/pov_scene_writer.h"

#include <array>
#include <string>

#include "writers/bond_geometry.h"
#include "writers/scene_text.h"

namespace lobewright {
namespace {

// The first four table entries are coloured by position, whatever their symbols.
constexpr std::array<const char*, 4> kPositionColours{"rgb<1,1,1>", "rgb<.3,.3,.3>", "rgb<0,0,1>",
                                                      "rgb<1,0,0>"};

// Entries past the fourth get a colour by symbol, so that every sphere's colour is declared.
const char* colourForSymbol(const std::string& symbol) {
  struct SymbolColour {
    const char* symbol;
    const char* colour;
  };
  static constexpr std::array<SymbolColour, 10> kColours{{
      {"H", "rgb<1,1,1>"},
      {"C", "rgb<.3,.3,.3>"},
      {"N", "rgb<0,0,1>"},
      {"O", "rgb<1,0,0>"},
      {"F", "rgb<.56,.88,.31>"},
      {"P", "rgb<1,.5,0>"},
      {"S", "rgb<1,1,.19>"},
      {"Cl", "rgb<.12,.94,.12>"},
      {"Br", "rgb<.65,.16,.16>"},
      {"I", "rgb<.58,0,.58>"},
  }};
  for (const SymbolColour& entry : kColours) {
    if (symbol == entry.symbol) return entry.colour;
  }
  return "rgb<1,.5,.75>";
}

constexpr std::string_view kMeshOpening = "#declare mo = mesh{";

}  // namespace

SweepCounters PovSceneWriter::writeScene(const Molecule& molecule, const SceneOptions& options,
                                         const GridBounds& bounds, const ProgressCallback& progress,
                                         const SweepOptions& sweep) {
  writeHeader(molecule);
  const SweepCounters counters = sweepSurface(
      molecule, options.threshold, options.accuracy, bounds, sweep, GradientsAt::everyCorner,
      [&](const ShadedTriangle& triangle) { writeTriangle(smoothTriangle(triangle)); }, progress);
  closeMesh();
  progress(100);
  if (options.showStructure) writeStructure(molecule, options);
  writeTrailer(options);
  return counters;
}

void PovSceneWriter::writeHeader(const Molecule& molecule) {
  m_out << "//File created by Lobewright Version " << kProgramVersion << kLineEnd;
  m_out << "//" << kCreditYear << kCreditText << kLineEnd;
  m_out << "#declare positive = texture { pigment {color rgb <1,0,0> } }" << kLineEnd;
  m_out << "#declare negative = texture { pigment  {color rgb <0,0,1> } }" << kLineEnd;
  const Pm3ParameterSet& table = molecule.parameters;
  for (int e = 0; e < table.elementCount; ++e) {
    const char* colour = e < static_cast<int>(kPositionColours.size())
                             ? kPositionColours[e]
                             : colourForSymbol(table.symbol[e]);
    m_out << "#declare Atom" << table.symbol[e] << " = color " << colour << ';' << kLineEnd;
  }
  m_out << "#declare BondFinish = finish {}" << kLineEnd;
}

void PovSceneWriter::writeTriangle(const SmoothTriangle& triangle) {
  // The mesh opens with its first triangle: POV-Ray refuses a mesh without any.
  if (m_triangleCount++ == 0) m_out << kMeshOpening;
  // One record is built whole and written at once: this runs for every triangle.
  m_record.assign("smooth_triangle{ <");
  for (int k = 0; k < 3; ++k) {
    if (k > 0) m_record.append(">,<");
    appendTriple(m_record, triangle.corners[k].position);
    m_record.append(">,<");
    appendTriple(m_record, triangle.corners[k].normal);
  }
  m_record.push_back('>');
  m_record.append(kLineEnd);
  m_record.append(triangle.sign == LobeSign::positive ? "texture { positive } }"
                                                      : "texture { negative } }");
  m_record.append(kLineEnd);
  m_out.write(m_record.data(), static_cast<std::streamsize>(m_record.size()));
}

void PovSceneWriter::closeMesh() {
  if (m_triangleCount > 0) m_out << '}' << kLineEnd;
}

void PovSceneWriter::writeStructure(const Molecule& molecule, const SceneOptions& options) {
  const Pm3ParameterSet& table = molecule.parameters;
  const auto symbolOf = [&](int atom) -> const std::string& {
    return table.symbol[molecule.atomElement[atom]];
  };
  m_out << "#declare AtomRadius=" << formatReal(atomRadius(options.scale)) << ';' << kLineEnd;
  m_out << "#declare Mol = union {";
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    m_out << "sphere { <";
    writeTriple(m_out, molecule.atomPosition(i));
    m_out << ">, AtomRadius pigment { color Atom" << symbolOf(i) << '}' << kLineEnd;
    m_out << "finish{BondFinish} }" << kLineEnd;
  }
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    for (int16_t j = i + 1; j < molecule.atomCount; ++j) {
      const BondGeometry bond = computeBond(molecule.atomPosition(i), molecule.atomPosition(j));
      if (!isBond(bond, options.scale, options.bondLength)) continue;
      m_out << "cylinder{ <0,0,0>,<0,1,0>,AtomRadius" << kLineEnd;
      m_out << "pigment { gradient y" << kLineEnd;
      m_out << "  color_map { [0.5 color Atom" << symbolOf(i) << ']' << kLineEnd;
      m_out << "    [0.5 color Atom" << symbolOf(j) << "] }" << kLineEnd;
      m_out << "  }" << kLineEnd;
      m_out << " finish { BondFinish }" << kLineEnd;
      m_out << "  scale <1," << formatReal(bond.length) << ",1>" << kLineEnd;
      m_out << "  rotate z*" << formatReal(-bond.zAngle) << kLineEnd;
      m_out << "  rotate y*" << formatReal(-bond.yAngle) << kLineEnd;
      m_out << "  translate <";
      writeTriple(m_out, molecule.atomPosition(i)) << '>' << kLineEnd;
      m_out << '}' << kLineEnd;
    }
  }
  m_out << '}' << kLineEnd;
}

void PovSceneWriter::writeTrailer(const SceneOptions& options) {
  const int64_t distance = 10 * static_cast<int64_t>(options.scale);
  m_out << "camera { location <0,0,0>" << kLineEnd;
  m_out << "look_at <0,0,10> }" << kLineEnd;
  m_out << "light_source { <0,0,0> color rgb<0.5,0.5,0.5> }" << kLineEnd;
  m_out << "light_source { <20,10,-10> color rgb 1 }" << kLineEnd;
  if (m_triangleCount > 0) m_out << "object { mo translate <0,0," << distance << "> }" << kLineEnd;
  if (options.showStructure) {
    m_out << "object { Mol translate <0,0," << distance << "> }" << kLineEnd;
  }
}

}  // namespace lobewright
