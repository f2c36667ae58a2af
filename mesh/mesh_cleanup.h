#pragma once

#include "mesh/orbital_mesh.h"

namespace lobewright {

// Removes the triangles whose area is below minimumArea from a closed, manifold, consistently
// oriented lobe, keeping it so: each such triangle loses an edge by an edge collapse (one end
// merges into the other, so every vertex stays on the surface) or, where its three corners are
// nearly in line, by flipping its longest edge. A collapse is made only where the link condition
// holds (the two ends share no neighbours but the two corners opposite their edge, and the lobe is
// not a tetrahedron), so the lobe keeps its topology; it and a flip are made only where no
// triangle turns against the normals of its corners or becomes a new sliver. Triangles that face
// against their corners' normals (where the surface folds within a grid cube) are flipped or
// collapsed away the same way where that is possible. A closed piece of the lobe that keeps a
// sliver and is narrower than tinyExtent is removed whole. Unused vertices are dropped.
void removeSlivers(LobeMesh& mesh, double minimumArea, double tinyExtent);

}  // namespace lobewright
