#pragma once

#include <optional>
#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"
#include "writers/picture_view.h"
#include "writers/surface_colouring.h"

namespace lobewright {

struct FramedSceneOptions {
  LobeColours colours;
  // How much light passes through the lobes, from 0 (opaque) to 1.
  double transparency = 0.0;
  bool includeStructure = true;
  ViewDirection view = ViewDirection::best;
  // The picture's width over its height, which the camera is fitted to.
  double aspect = 4.0 / 3.0;
  // A camera placed already, as a gallery's pictures share one; otherwise the picture's own.
  std::optional<CameraFrame> camera;
  const SurfaceColouring* colouring = nullptr;  // colours the lobes vertex by vertex
};

// A POV-Ray scene made for a picture: the lobes as two mesh2 objects with their normals, the
// ball-and-stick model in element colours, and a camera (as pictureCamera places it), lights and
// a plain white background. Lengths in Angstrom. A coloured surface has a texture per vertex,
// which POV-Ray blends across each triangle, and its colour bar on the right of the picture,
// beside the molecule.
[[nodiscard]] MeshWriteResult writeFramedPovScene(std::ostream& out, const OrbitalMesh& mesh,
                                                  const BallAndStickModel& structure,
                                                  const FramedSceneOptions& options = {});

}  // namespace lobewright
