#include "writers/mesh_parts.h"

#include <cmath>
#include <map>

#include "input/elements.h"
#include "writers/primitive_meshes.h"

namespace lobewright {
namespace {

// Appends `shape` with each position and normal mapped; the normals' map keeps them unit.
template <typename PositionMap, typename NormalMap>
void appendMapped(LobeMesh& to, const LobeMesh& shape, PositionMap position, NormalMap normal) {
  const auto first = static_cast<uint32_t>(to.positions.size());
  for (std::size_t i = 0; i < shape.positions.size(); ++i) {
    to.positions.push_back(position(shape.positions[i]));
    to.normals.push_back(normal(shape.normals[i]));
  }
  for (const auto& [a, b, c] : shape.triangles) {
    to.triangles.push_back({first + a, first + b, first + c});
  }
}

bool fitsSinglePrecision(double value) {
  return std::isfinite(value) && std::isfinite(static_cast<float>(value));
}

bool fitsSinglePrecision(const Vec3& v) {
  return fitsSinglePrecision(v.x) && fitsSinglePrecision(v.y) && fitsSinglePrecision(v.z);
}

}  // namespace

std::vector<StructurePart> bakeStructure(const BallAndStickModel& model) {
  const LobeMesh sphere = unitIcosphere(kSphereSubdivisions);
  const LobeMesh cylinder = unitCylinder(kStickSegments);
  std::map<int, StructurePart> byElement;
  const auto partOf = [&](int atomicNumber, const Rgb& colour) -> LobeMesh& {
    const auto [entry, added] = byElement.try_emplace(atomicNumber);
    if (added) entry->second = {atomicNumber, colour, {}};
    return entry->second.mesh;
  };

  for (const StructureSphere& s : model.spheres) {
    if (!isDrawable(s)) continue;
    appendMapped(
        partOf(s.atomicNumber, s.colour), sphere,
        [&](const Vec3& p) { return s.centre + s.radius * p; }, [](const Vec3& n) { return n; });
  }
  for (const StructureStick& s : model.sticks) {
    if (!isDrawable(s)) continue;
    const Vec3 axis = s.end - s.start;
    const double length = norm(axis);
    // A right-handed frame (across, along, across x along) takes the cylinder's x, y, z there.
    const Vec3 along = (1.0 / length) * axis;
    const Vec3 helper = std::abs(along.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 side = cross(along, helper);
    const Vec3 across = (1.0 / norm(side)) * side;
    const Vec3 third = cross(across, along);
    appendMapped(
        partOf(s.atomicNumber, s.colour), cylinder,
        [&](const Vec3& p) {
          return s.start + (s.radius * p.x) * across + (length * p.y) * along +
                 (s.radius * p.z) * third;
        },
        [&](const Vec3& n) { return n.x * across + n.y * along + n.z * third; });
  }

  std::vector<StructurePart> parts;
  parts.reserve(byElement.size());
  for (auto& [number, part] : byElement) parts.push_back(std::move(part));
  return parts;
}

bool isDrawable(const StructureSphere& sphere) {
  return fitsSinglePrecision(sphere.centre) && fitsSinglePrecision(sphere.radius) &&
         sphere.radius > 0.0;
}

bool isDrawable(const StructureStick& stick) {
  const double length = norm(stick.end - stick.start);
  return fitsSinglePrecision(stick.start) && fitsSinglePrecision(stick.end) &&
         fitsSinglePrecision(stick.radius) && stick.radius > 0.0 && fitsSinglePrecision(length) &&
         static_cast<float>(length) > 0.0f;
}

std::string structureMaterialName(int atomicNumber) {
  const std::string_view symbol = elementSymbol(atomicNumber);
  return "element_" + (symbol.empty() ? std::string("unknown") : std::string(symbol));
}

std::string checkMesh(const LobeMesh& mesh, const std::string& name) {
  if (mesh.normals.size() != mesh.positions.size()) {
    return "The " + name + " mesh has " + std::to_string(mesh.normals.size()) + " normals for " +
           std::to_string(mesh.positions.size()) + " vertices.";
  }
  if (mesh.positions.size() > uint64_t{UINT32_MAX}) {
    return "The " + name + " mesh has more vertices than 32-bit indices can number.";
  }
  for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
    if (!fitsSinglePrecision(mesh.positions[i]) || !fitsSinglePrecision(mesh.normals[i])) {
      return "The " + name + " mesh has a vertex that is not a finite single-precision number.";
    }
  }
  for (const auto& triangle : mesh.triangles) {
    for (const uint32_t index : triangle) {
      if (index >= mesh.positions.size()) {
        return "The " + name + " mesh has a triangle with vertex " + std::to_string(index) +
               " of " + std::to_string(mesh.positions.size()) + ".";
      }
    }
  }
  return {};
}

std::string checkColouredMesh(const LobeMesh& mesh, const std::vector<Rgb>& colours,
                              const std::string& name) {
  if (colours.size() != mesh.positions.size()) {
    return "The " + name + " mesh has " + std::to_string(colours.size()) + " colours for " +
           std::to_string(mesh.positions.size()) + " vertices.";
  }
  return checkMesh(mesh, name);
}

MeshParts::MeshParts(const OrbitalMesh& orbital, const BallAndStickModel& structure,
                     const LobeColours& colours, bool includeStructure,
                     const SurfaceColouring* colouring) {
  if (includeStructure) m_structure = bakeStructure(structure);
  const auto add = [&](std::string name, const Rgb& colour, const LobeMesh& mesh,
                       const std::vector<Rgb>* vertexColours = nullptr) {
    if (!mesh.triangles.empty()) m_parts.push_back({std::move(name), colour, &mesh, vertexColours});
  };
  add("positive", colours.positive, orbital.positive, colouring ? &colouring->positive : nullptr);
  add("negative", colours.negative, orbital.negative, colouring ? &colouring->negative : nullptr);
  for (const StructurePart& part : m_structure) {
    add(structureMaterialName(part.atomicNumber), part.colour, part.mesh);
  }
}

std::string MeshParts::check() const {
  for (const MeshPart& part : m_parts) {
    std::string problem = part.vertexColours
                              ? checkColouredMesh(*part.mesh, *part.vertexColours, part.name)
                              : checkMesh(*part.mesh, part.name);
    if (!problem.empty()) return problem;
  }
  return {};
}

uint64_t MeshParts::vertexCount() const {
  uint64_t count = 0;
  for (const MeshPart& part : m_parts) count += part.mesh->positions.size();
  return count;
}

uint64_t MeshParts::triangleCount() const {
  uint64_t count = 0;
  for (const MeshPart& part : m_parts) count += part.mesh->triangles.size();
  return count;
}

}  // namespace lobewright
