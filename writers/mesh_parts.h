#pragma once

#include <string>
#include <vector>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/surface_colouring.h"

namespace lobewright {

// One element's share of the ball-and-stick model: its spheres and half-sticks as one mesh.
struct StructurePart {
  int atomicNumber = 0;
  Rgb colour;
  LobeMesh mesh;
};

// How finely the structure is tessellated: unitIcosphere(kSphereSubdivisions) and
// unitCylinder(kStickSegments).
inline constexpr int kSphereSubdivisions = 2;
inline constexpr int kStickSegments = 16;

// The model's spheres and sticks placed and merged per element, in order of atomic number
// (unknown elements first), drawable ones only.
[[nodiscard]] std::vector<StructurePart> bakeStructure(const BallAndStickModel& model);

// Spheres of no radius, sticks of no length and anything not finite in single precision are
// left out of every file.
[[nodiscard]] bool isDrawable(const StructureSphere& sphere);
[[nodiscard]] bool isDrawable(const StructureStick& stick);

// "element_C"; "element_unknown" for atomic number 0.
[[nodiscard]] std::string structureMaterialName(int atomicNumber);

// Empty when the mesh can be written: as many normals as positions, every index in range, every
// coordinate finite in single precision. Otherwise what is wrong, naming the mesh.
[[nodiscard]] std::string checkMesh(const LobeMesh& mesh, const std::string& name);
// The same for a lobe coloured by a field, which also needs a colour for each vertex.
[[nodiscard]] std::string checkColouredMesh(const LobeMesh& mesh, const std::vector<Rgb>& colours,
                                            const std::string& name);

struct MeshPart {
  std::string name;  // also the material's name
  Rgb colour;
  const LobeMesh* mesh = nullptr;
  // One colour per vertex, which takes the place of `colour`, for a lobe coloured by a field.
  const std::vector<Rgb>* vertexColours = nullptr;
};

// The meshes one file holds, in this order: the positive lobe ("positive"), the negative lobe
// ("negative"), then one merged mesh per element of the structure when it is included. Meshes
// without triangles are left out. With a colouring, the lobes take its colours per vertex.
class MeshParts {
 public:
  MeshParts(const OrbitalMesh& orbital, const BallAndStickModel& structure,
            const LobeColours& colours, bool includeStructure,
            const SurfaceColouring* colouring = nullptr);
  MeshParts(const MeshParts&) = delete;
  MeshParts& operator=(const MeshParts&) = delete;

  [[nodiscard]] const std::vector<MeshPart>& parts() const { return m_parts; }
  // Empty when every part can be written (see checkMesh).
  [[nodiscard]] std::string check() const;
  [[nodiscard]] uint64_t vertexCount() const;
  [[nodiscard]] uint64_t triangleCount() const;

 private:
  std::vector<StructurePart> m_structure;
  std::vector<MeshPart> m_parts;
};

}  // namespace lobewright
