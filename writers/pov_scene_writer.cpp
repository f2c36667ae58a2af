#include "writers/pov_scene_writer.h"

#include <array>
#include <string>

#include "writers/bond_geometry.h"
#include "writers/scene_text.h"

namespace lobewright {
namespace {

constexpr std::string_view kMeshOpening = "#declare mo = mesh{";

}  // namespace

void PovSceneWriter::writeScene(const SceneAtoms& atoms, const OrbitalMesh& mesh,
                                const SceneOptions& options) {
  writeHeader(atoms);
  const auto scale = static_cast<float>(options.scale);
  const auto onGrid = [scale](const Vec3& p) {
    return Point{static_cast<float>(p.x) * scale, static_cast<float>(p.y) * scale,
                 static_cast<float>(p.z) * scale};
  };
  const auto asPoint = [](const Vec3& v) {
    return Point{static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
  };
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeMesh& lobe = mesh.lobe(sign);
    for (const auto& corners : lobe.triangles) {
      SmoothTriangle triangle;
      triangle.sign = sign;
      for (int k = 0; k < 3; ++k) {
        triangle.corners[k] = {onGrid(lobe.positions[corners[k]]),
                               asPoint(lobe.normals[corners[k]])};
      }
      writeTriangle(triangle);
    }
  }
  closeMesh();
  if (options.showStructure) writeStructure(atoms, options);
  writeTrailer(options);
}

void PovSceneWriter::writeHeader(const SceneAtoms& atoms) {
  m_out << "//File created by Lobewright Version " << kProgramVersion << kLineEnd;
  m_out << "//" << kCreditYear << kCreditText << kLineEnd;
  m_out << "#declare positive = texture { pigment {color rgb <1,0,0> } }" << kLineEnd;
  m_out << "#declare negative = texture { pigment  {color rgb <0,0,1> } }" << kLineEnd;
  for (const SceneAtoms::Element& element : atoms.elements) {
    m_out << "#declare Atom" << element.symbol << " = color " << element.povColour << ';'
          << kLineEnd;
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

void PovSceneWriter::writeStructure(const SceneAtoms& atoms, const SceneOptions& options) {
  const auto symbolOf = [&](std::size_t atom) -> const std::string& {
    return atoms.elements[atoms.elementOfAtom[atom]].symbol;
  };
  const std::size_t atomCount = atoms.positions.size();
  m_out << "#declare AtomRadius=" << formatReal(atomRadius(options.scale)) << ';' << kLineEnd;
  m_out << "#declare Mol = union {";
  for (std::size_t i = 0; i < atomCount; ++i) {
    m_out << "sphere { <";
    writeTriple(m_out, atoms.positions[i]);
    m_out << ">, AtomRadius pigment { color Atom" << symbolOf(i) << '}' << kLineEnd;
    m_out << "finish{BondFinish} }" << kLineEnd;
  }
  for (std::size_t i = 0; i < atomCount; ++i) {
    for (std::size_t j = i + 1; j < atomCount; ++j) {
      const BondGeometry bond = computeBond(atoms.positions[i], atoms.positions[j]);
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
      writeTriple(m_out, atoms.positions[i]) << '>' << kLineEnd;
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
