#include "writers/obj_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <string_view>

#include "input/text_scan.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

// Text gathered in a block that goes to the stream when full.
class TextOutput {
 public:
  explicit TextOutput(std::ostream& out) : m_out(out) { m_text.reserve(kBlockSize + 256); }
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  TextOutput& operator<<(std::string_view text) {
    m_text.append(text);
    return *this;
  }
  TextOutput& operator<<(uint64_t value) {
    std::array<char, 24> digits{};
    m_text.append(digits.data(),
                  std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr);
    return *this;
  }
  // Fixed point with at most six decimals, in the "C" locale whatever the process's:
  // a millionth of an Angstrom is far below anything a mesh shows.
  TextOutput& operator<<(double value) {
    std::array<char, 64> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed, 6);
    std::string_view text(digits.data(), static_cast<std::size_t>(result.ptr - digits.data()));
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
    m_text.append(text == "-0" ? "0" : text);
    return *this;
  }
  void endLine() {
    m_text.push_back('\n');
    if (m_text.size() >= kBlockSize) flush();
  }
  void flush() {
    m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
    m_text.clear();
  }

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 16;
  std::ostream& m_out;
  std::string m_text;
};

void appendPoint(TextOutput& text, std::string_view keyword, const Vec3& p) {
  // Written as the single-precision values the binary formats hold, so all formats agree.
  text << keyword << " " << static_cast<double>(static_cast<float>(p.x)) << " "
       << static_cast<double>(static_cast<float>(p.y)) << " "
       << static_cast<double>(static_cast<float>(p.z));
}

void writePoint(TextOutput& text, std::string_view keyword, const Vec3& p) {
  appendPoint(text, keyword, p);
  text.endLine();
}

void appendColour(TextOutput& text, const Rgb& colour) {
  text << " " << static_cast<double>(colour.r) << " " << static_cast<double>(colour.g) << " "
       << static_cast<double>(colour.b);
}

// A coloured part's material is white: its vertices carry the colours.
Rgb materialColour(const MeshPart& part) {
  return part.vertexColours ? Rgb{1.0f, 1.0f, 1.0f} : part.colour;
}

bool hasBlank(std::string_view name) { return std::any_of(name.begin(), name.end(), isBlank); }

}  // namespace

MeshWriteResult writeObj(std::ostream& out, const OrbitalMesh& mesh,
                         const BallAndStickModel& structure, const ObjOptions& options) {
  if (options.materialLibrary.empty() || hasBlank(options.materialLibrary)) {
    return {"The material file's name \"" + options.materialLibrary +
            "\" is empty or has blanks, which an OBJ file cannot name."};
  }
  const MeshParts scene(mesh, structure, options.colours, options.includeStructure,
                        options.colouring);
  if (std::string problem = scene.check(); !problem.empty()) return {std::move(problem)};

  TextOutput text(out);
  text << "# Lobewright orbital lobes, 1 unit = 1 Angstrom";
  text.endLine();
  text << "mtllib " << options.materialLibrary;
  text.endLine();
  uint64_t first = 1;
  for (const MeshPart& part : scene.parts()) {
    const LobeMesh& lobe = *part.mesh;
    text << "g " << part.name;
    text.endLine();
    text << "usemtl " << part.name;
    text.endLine();
    for (std::size_t i = 0; i < lobe.positions.size(); ++i) {
      appendPoint(text, "v", lobe.positions[i]);
      if (part.vertexColours) appendColour(text, (*part.vertexColours)[i]);
      text.endLine();
    }
    for (const Vec3& n : lobe.normals) writePoint(text, "vn", n);
    for (const auto& triangle : lobe.triangles) {
      text << "f";
      for (const uint32_t index : triangle) {
        const uint64_t number = first + index;
        text << " " << number << "//" << number;
      }
      text.endLine();
    }
    first += lobe.positions.size();
  }
  text.flush();
  return streamResult(out);
}

MeshWriteResult writeMtl(std::ostream& out, const OrbitalMesh& mesh,
                         const BallAndStickModel& structure, const ObjOptions& options) {
  const MeshParts scene(mesh, structure, options.colours, options.includeStructure,
                        options.colouring);
  if (std::string problem = scene.check(); !problem.empty()) return {std::move(problem)};
  TextOutput text(out);
  text << "# Lobewright materials";
  text.endLine();
  for (const MeshPart& part : scene.parts()) {
    text << "newmtl " << part.name;
    text.endLine();
    text << "Ka 0 0 0";
    text.endLine();
    const Rgb colour = materialColour(part);
    text << "Kd " << static_cast<double>(colour.r) << " " << static_cast<double>(colour.g) << " "
         << static_cast<double>(colour.b);
    text.endLine();
    text << "Ks 0.25 0.25 0.25";
    text.endLine();
    text << "Ns 64";
    text.endLine();
    text << "d 1";
    text.endLine();
    text << "illum 2";
    text.endLine();
  }
  text.flush();
  return streamResult(out);
}

MeshWriteResult writeObjFiles(const std::filesystem::path& objPath, const OrbitalMesh& mesh,
                              const BallAndStickModel& structure, const ObjOptions& options) {
  std::string materialName = objPath.stem().string() + ".mtl";
  std::replace_if(materialName.begin(), materialName.end(), isBlank, '_');
  const std::filesystem::path materialPath = objPath.parent_path() / materialName;
  if (materialPath == objPath) {
    return {"The OBJ file " + objPath.string() + " would be overwritten by its material file."};
  }
  ObjOptions withLibrary = options;
  withLibrary.materialLibrary = materialName;

  std::ofstream material(materialPath, std::ios::binary);
  if (!material) return {"Cannot open " + materialPath.string() + " for writing."};
  if (MeshWriteResult result = writeMtl(material, mesh, structure, withLibrary);
      !result.succeeded()) {
    return result;
  }
  material.close();
  if (!material) return {kMeshWriteFailedMessage};

  std::ofstream obj(objPath, std::ios::binary);
  if (!obj) return {"Cannot open " + objPath.string() + " for writing."};
  if (MeshWriteResult result = writeObj(obj, mesh, structure, withLibrary); !result.succeeded()) {
    return result;
  }
  obj.close();
  if (!obj) return {kMeshWriteFailedMessage};
  return {};
}

}  // namespace lobewright
