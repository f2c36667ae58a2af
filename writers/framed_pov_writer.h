#pragma once

#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"
#include "writers/scene_frame.h"

namespace lobewright {

struct FramedSceneOptions {
  LobeColours colours;
  // How much light passes through the lobes, from 0 (opaque) to 1.
  double transparency = 0.0;
  bool includeStructure = true;
  ViewDirection view = ViewDirection::best;
  // The picture's width over its height, which the camera is fitted to.
  double aspect = 4.0 / 3.0;
};

// A POV-Ray scene made for a picture: the lobes as two mesh2 objects with their normals, the
// ball-and-stick model in element colours, and a camera, lights and a plain white background
// placed so that everything is in view with a small margin. Lengths in Angstrom.
// From the negative lobe's centre (the mean of its vertices) to the positive one's, which a view
// keeps away from; zero when a lobe is empty.
[[nodiscard]] Vec3 lobeAxisOf(const OrbitalMesh& mesh);

[[nodiscard]] MeshWriteResult writeFramedPovScene(std::ostream& out, const OrbitalMesh& mesh,
                                                  const BallAndStickModel& structure,
                                                  const FramedSceneOptions& options = {});

}  // namespace lobewright
