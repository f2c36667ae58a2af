#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "input/calculation.h"
#include "input/vector3.h"
#include "mesh/orbital_mesh.h"
#include "mesh/surface_triangle.h"
#include "writers/surface_colouring.h"

namespace lobewright {

// One triangle of a written surface, corners in Angstrom.
struct SceneTriangle {
  std::array<Vec3, 3> corners;
  LobeSign sign = LobeSign::positive;
  // The mean of its corners' colours on a surface coloured by a field; otherwise its lobe's.
  std::optional<Rgb> colour;
};

// What a run wrote, for showing it: an even sample of the surface's triangles (all of them when
// they are few enough) and the atoms.
struct WrittenScene {
  std::vector<SceneTriangle> triangles;
  std::vector<CalculationAtom> atoms;
  int64_t surfaceTriangles = 0;  // on the whole surface, however many were kept
};

// At most this many triangles are kept of a surface: enough to show its shape, and a bound on
// the memory a fine grid's surface can take in the window.
inline constexpr std::size_t kSceneTriangleLimit = 150'000;

// Keeps an even sample of a stream of triangles in bounded memory: every triangle while they
// fit, then every second, every fourth, and so on, dropping the surplus of those kept already.
class SceneSampler {
 public:
  explicit SceneSampler(std::size_t limit = kSceneTriangleLimit);

  void add(const SceneTriangle& triangle);
  // The sample so far; the sampler starts over empty.
  [[nodiscard]] WrittenScene take(std::vector<CalculationAtom> atoms);

 private:
  std::size_t m_limit;
  uint64_t m_stride = 1;
  int64_t m_seen = 0;
  std::vector<SceneTriangle> m_kept;
};

// The scene of a shared-vertex surface, its triangles in the colouring's colours when one is
// given.
[[nodiscard]] WrittenScene sampleScene(const OrbitalMesh& mesh, std::vector<CalculationAtom> atoms,
                                       std::size_t limit = kSceneTriangleLimit,
                                       const SurfaceColouring* colouring = nullptr);

}  // namespace lobewright
