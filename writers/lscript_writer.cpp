#include "writers/lscript_writer.h"

#include <array>
#include <string_view>

#include "writers/bond_geometry.h"

namespace lobewright {
namespace {

constexpr int kBallLevel = 1;
constexpr int kDiscSides = 4;
constexpr int kDiscSegments = 1;
constexpr int kSmoothingValue = 85;
constexpr std::size_t kLobeSurfaceCount = 2;

template <class... Parts>
void appendLine(std::string& buffer, const Parts&... parts) {
  (buffer.append(parts), ...);
  buffer.append(kLineEnd);
}

// Element surfaces are coloured by symbol; other symbols keep the modeller's default colour.
const char* lightWaveColourFor(const std::string& symbol) {
  struct SymbolColour {
    const char* symbol;
    const char* colour;
  };
  static constexpr std::array<SymbolColour, 4> kColours{{
      {"C", "<77,77,77>"},
      {"H", "<255,255,255>"},
      {"N", "<0,0,255>"},
      {"O", "<255,0,0>"},
  }};
  for (const SymbolColour& entry : kColours) {
    if (symbol == entry.symbol) return entry.colour;
  }
  return nullptr;
}

void appendSurfaceSetUp(std::string& buffer, const std::string& name, const char* colour) {
  appendLine(buffer, "createsurface(\"", name, "\");");
  appendLine(buffer, "surfObj=Surface(\"", name, "\");");
  if (colour != nullptr) appendLine(buffer, "surfObj.setValue(SURFCOLR,", colour, ");");
  appendLine(buffer, "surfObj.setValue(SURFSMAN,", std::to_string(kSmoothingValue), ");");
  appendLine(buffer, "setsurface(\"", name, "\");");
}

// One half of a bond: a disc made in an empty layer, turned onto the bond, moved to the bond's
// first atom and pasted back into the working layer. The centre height along the bond puts it
// at either end.
void writeBondHalf(std::string& buffer, const BondGeometry& bond, const Point& firstAtom,
                   float centreHeight, float radius) {
  const float halfLength = bond.length * 0.5f;
  appendLine(buffer, "workLayer = lyrfg();");
  appendLine(buffer, "mtLyr=lyrempty();");
  appendLine(buffer, "lyrsetfg(mtLyr[1]);");
  appendLine(buffer, "makedisc( ", formatReal(radius), ",", formatReal(halfLength), ",0,Y,",
             std::to_string(kDiscSides), ",", std::to_string(kDiscSegments), ",<0,",
             formatReal(centreHeight), ",0>);");
  appendLine(buffer, "rotate(", formatReal(bond.zAngle), ",Z);");
  appendLine(buffer, "rotate(", formatReal(bond.yAngle), ",Y);");
  appendLine(buffer, "move(<", tripleText(firstAtom), ">);");
  appendLine(buffer, "cut();");
  appendLine(buffer, "lyrsetfg(workLayer);");
  appendLine(buffer, "paste();");
}

}  // namespace

void LScriptWriter::begin(const SceneAtoms& atoms) {
  writeHeader();
  setUpSurfaces(atoms);
}

void LScriptWriter::writeScript(const SceneAtoms& atoms, const OrbitalMesh& mesh,
                                const SceneOptions& options) {
  begin(atoms);
  const auto scale = static_cast<float>(options.scale);
  const auto onGrid = [scale](const Vec3& p) {
    return Point{static_cast<float>(p.x) * scale, static_cast<float>(p.y) * scale,
                 static_cast<float>(p.z) * scale};
  };
  // The watertight surface is wound counter-clockwise seen from outside already.
  IndexedMesh indexed;
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeMesh& lobe = mesh.lobe(sign);
    for (const auto& corners : lobe.triangles) {
      indexed.addTriangle(sign,
                          {onGrid(lobe.positions[corners[0]]), onGrid(lobe.positions[corners[1]]),
                           onGrid(lobe.positions[corners[2]]), 0.0f},
                          false);
    }
  }
  finish(atoms, options, indexed);
}

void LScriptWriter::finish(const SceneAtoms& atoms, const SceneOptions& options,
                           const IndexedMesh& mesh) {
  if (options.showStructure) addStructure(atoms, options);
  writePoints(mesh);
  writeSurfaces(mesh);
  m_out << '}' << kLineEnd;
}

void LScriptWriter::writeHeader() {
  m_out << "@script modeler" << kLineEnd;
  m_out << "@version 2.6.1" << kLineEnd << kLineEnd;
  m_out << "//File created by Lobewright Version " << kProgramVersion << kLineEnd;
  m_out << "//" << kCreditYear << kCreditText << kLineEnd;
  m_out << "main {" << kLineEnd;
}

void LScriptWriter::setUpSurfaces(const SceneAtoms& atoms) {
  m_surfaceBuffers.assign(kLobeSurfaceCount + atoms.elements.size(), std::string());
  appendSurfaceSetUp(m_surfaceBuffers[0], "positive", "<255,0,0>");
  appendLine(m_surfaceBuffers[0], "editbegin();");
  appendSurfaceSetUp(m_surfaceBuffers[1], "negative", "<0,0,255>");
  appendLine(m_surfaceBuffers[1], "editbegin();");
  for (std::size_t e = 0; e < atoms.elements.size(); ++e) {
    const std::string& symbol = atoms.elements[e].symbol;
    appendSurfaceSetUp(m_surfaceBuffers[kLobeSurfaceCount + e], "Atom" + symbol,
                       lightWaveColourFor(symbol));
  }
}

void LScriptWriter::addStructure(const SceneAtoms& atoms, const SceneOptions& options) {
  const float radius = atomRadius(options.scale);
  const std::string radiusText = formatReal(radius);
  const auto bufferOf = [&](std::size_t atom) -> std::string& {
    return m_surfaceBuffers.at(kLobeSurfaceCount + atoms.elementOfAtom[atom]);
  };
  const std::size_t atomCount = atoms.positions.size();
  for (std::size_t i = 0; i < atomCount; ++i) {
    appendLine(bufferOf(i), "maketesball(", radiusText, ",", std::to_string(kBallLevel), ",<",
               tripleText(atoms.positions[i]), ">);");
  }
  for (std::size_t i = 0; i < atomCount; ++i) {
    for (std::size_t j = i + 1; j < atomCount; ++j) {
      const Point& first = atoms.positions[i];
      const BondGeometry bond = computeBond(first, atoms.positions[j]);
      if (!isBond(bond, options.scale, options.bondLength)) continue;
      // Both halves start at atom i; the second one's centre lies three quarters along.
      const float nearHeight = bond.length * 0.25f;
      const auto farHeight = static_cast<float>(3.0 * static_cast<double>(bond.length) * 0.25);
      writeBondHalf(bufferOf(i), bond, first, nearHeight, radius);
      writeBondHalf(bufferOf(j), bond, first, farHeight, radius);
    }
  }
}

void LScriptWriter::writePoints(const IndexedMesh& mesh) {
  m_out << "editbegin();" << kLineEnd;
  std::string line;
  for (const vertex& point : mesh.vertices()) {
    line.assign("pts[");
    line.append(std::to_string(point.index));
    line.append("]=addpoint(<");
    appendTriple(line, {point.x, point.y, point.z});
    line.append(">);");
    line.append(kLineEnd);
    m_out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  m_out << "editend();" << kLineEnd;
}

void LScriptWriter::writePolygons(const IndexedMesh::CornerLists& corners) {
  for (std::size_t t = 0; t < corners[0].size(); ++t) {
    m_out << "poly[1]=pts[" << corners[0][t] << "];" << kLineEnd;
    m_out << "poly[2]=pts[" << corners[1][t] << "];" << kLineEnd;
    m_out << "poly[3]=pts[" << corners[2][t] << "];" << kLineEnd;
    m_out << "addpolygon(poly);" << kLineEnd;
  }
  m_out << "editend();" << kLineEnd;
}

// The lobes' polygons go from the mesh's corner lists straight behind their surfaces' set-up
// rather than through a text buffer: the lists hold them in a fraction of the memory.
void LScriptWriter::writeSurfaces(const IndexedMesh& mesh) {
  for (std::size_t b = 0; b < m_surfaceBuffers.size(); ++b) {
    m_out << m_surfaceBuffers[b];
    std::string().swap(m_surfaceBuffers[b]);
    if (b == 0) writePolygons(mesh.cornerLists(LobeSign::positive));
    if (b == 1) writePolygons(mesh.cornerLists(LobeSign::negative));
  }
  m_surfaceBuffers.clear();
}

}  // namespace lobewright
