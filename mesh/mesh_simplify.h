#pragma once

#include "mesh/orbital_mesh.h"

namespace lobewright {

// Makes a closed lobe lean by edge collapses that merge one end into the other, so every vertex
// left is one of the lobe's own, on the surface with its normal. A collapse is made only where
// the lobe stays closed, 2-manifold and oriented, makes no triangle below minimumArea nor one
// facing against its corners' normals, and where the kept vertex lies within largestError
// (Angstrom, as a root mean square) of the planes of the triangles that the merged vertices had
// in the full lobe (Garland and Heckbert's quadrics). Collapses stop at targetShare of the
// triangles, cheapest first.
void simplifyLobe(LobeMesh& lobe, double targetShare, double largestError, double minimumArea);

}  // namespace lobewright
