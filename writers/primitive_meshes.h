#pragma once

#include "mesh/orbital_mesh.h"

namespace lobewright {

// A sphere of radius 1 around the origin, from an icosahedron whose triangles are split in four
// `subdivisions` times (2 gives 162 vertices and 320 triangles). Closed, wound as a lobe is.
[[nodiscard]] LobeMesh unitIcosphere(int subdivisions);

// A closed cylinder of radius 1 from y = 0 to y = 1 around the y axis, with flat caps. The caps
// have vertices of their own (their normals are the axis), at the same positions as the side's.
[[nodiscard]] LobeMesh unitCylinder(int segments);

}  // namespace lobewright
