#pragma once

#include <optional>
#include <vector>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/scene_frame.h"

namespace lobewright {

// How a framed picture looks at an orbital: from where, and how much of the molecule it shows.

// A localized orbital is framed with the atoms within kNeighbourhood of its lobes, when the lobes
// and that neighbourhood span less than kLocalizedShare of the molecule's extent.
inline constexpr double kNeighbourhood = 2.5;  // Angstrom
inline constexpr double kLocalizedShare = 0.75;
// A flat pi system is seen at least this far off its plane's normal, so that the lobes under the
// plane show beside those over it, and the nodal plane between them.
inline constexpr double kPiTiltDegrees = 40.0;

// What a picture shows: the surfaces of one orbital, or of several that a gallery shows in one
// view and scale, and the molecule.
struct PictureSubject {
  std::vector<const OrbitalMesh*> meshes;
  const BallAndStickModel* structure = nullptr;
  bool includeStructure = true;
};

// The camera of a framed picture of the given aspect (width over height). Down an axis, or best:
// along the smallest principal axis of the atoms it frames, turned off the lobes' axis (one
// orbital only) and tilted off a flat pi system's plane. Every lobe is in view, and the whole
// molecule, unless the orbital is localized (not for `whole`): then its neighbourhood. The
// right-hand reservedShare of the picture's width is kept free (for a colour bar).
[[nodiscard]] CameraFrame pictureCamera(const PictureSubject& subject, ViewDirection view,
                                        double aspect, double reservedShare = 0.0);

// The normal of the plane that the surface is antisymmetric about, when it is a flat pi system's:
// the atoms under its lobes (the heavy ones, when there are three) lie in a plane, and the mirror
// image of nearly every part of one lobe in that plane is a part of the other.
[[nodiscard]] std::optional<Vec3> piPlaneNormal(const OrbitalMesh& mesh,
                                                const std::vector<StructureSphere>& atoms);

}  // namespace lobewright
