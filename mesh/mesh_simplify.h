#pragma once

#include <cstddef>

#include "mesh/orbital_mesh.h"

namespace lobewright {

// A lobe of more triangles than this is cut into slabs of about this many along its longest
// axis (fewer where they would be thinner than a few of its edges), and the slabs are made lean
// at the same time.
inline constexpr std::size_t kLeanRegionTriangles = 8000;

// Makes a closed lobe lean by edge collapses that merge one end into the other, so every vertex
// left is one of the lobe's own, on the surface with its normal. A collapse is made only where
// the lobe stays closed, 2-manifold and oriented, makes no triangle below minimumArea nor one
// facing against its corners' normals, and where the kept vertex lies within largestError
// (Angstrom, as a root mean square) of the planes of the triangles that the merged vertices had
// in the full lobe (Garland and Heckbert's quadrics). Collapses stop at targetShare of the
// triangles, cheapest first.
//
// A large lobe's slabs go first, each on its own and on up to `threads` threads, with only the
// collapses whose triangles all lie within the slab; the collapses left over, along the slabs'
// borders, follow on this thread. The slabs depend on the lobe alone, so the lean lobe is the
// same for any number of threads.
void simplifyLobe(LobeMesh& lobe, double targetShare, double largestError, double minimumArea,
                  int threads = 1);

}  // namespace lobewright
