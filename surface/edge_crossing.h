#pragma once

#include <cmath>
#include <limits>

#include "input/vector3.h"
#include "surface/field_sample.h"

namespace lobewright {

// A vertex of the watertight mesh: on the surface, with the unit normal pointing out of its lobe.
struct MeshVertex {
  Vec3 position;
  Vec3 normal;
};

// A crossing is taken once g is within kCrossingAcceptable of the threshold, well inside the
// 1e-6 that the vertices are promised. A field whose values are rounded (the classic model's
// single precision) may not get that close: there a crossing within kCrossingRounded is taken as
// soon as a step fails to halve g, and otherwise the nearest point after kCrossingIterations.
inline constexpr double kCrossingAcceptable = 2e-7;
inline constexpr double kCrossingRounded = 5e-7;
inline constexpr int kCrossingIterations = 24;

// Where the lobe of the given sign (+1 or -1) crosses the grid edge from `outside` (where
// sign * value - threshold, called g here, is not above 0) to `inside` (g above 0). gOutside may
// be NaN when that end was never evaluated; gInside is known.
//
// Newton's method on the field itself, with the analytic gradient along the edge, inside a
// bracket that every evaluation narrows: a step that would leave the bracket (or a derivative
// that is no use) falls back to the secant of the bracket, and a bisection is forced whenever two
// steps in a row have not halved |g|, so it converges on any continuous field and on the
// single-precision model's steps alike, usually in two or three evaluations. The vertex is the
// evaluated point whose g is nearest 0, so on a field that jumps across the threshold it is the
// nearer side of the jump. A pair of ends that does not bracket (an inside point on the border of a
// box too small for its surface) gives the outside end.
template <SampledField F>
[[nodiscard]] MeshVertex findCrossing(const F& field, double sign, double threshold,
                                      const Vec3& outside, double gOutside, const Vec3& inside,
                                      double gInside) {
  const Vec3 along = inside - outside;
  if (std::isnan(gOutside)) gOutside = sign * field.valueAt(outside) - threshold;
  double low = 0.0;
  double high = 1.0;
  double gLow = gOutside;
  double gHigh = gInside;
  double best = std::fabs(gInside) < std::fabs(gOutside) ? 1.0 : 0.0;
  double gBest = best == 1.0 ? gInside : gOutside;
  FieldSample bestSample;
  bool sampled = false;
  const double acceptable = kCrossingAcceptable * threshold;
  const double rounded = kCrossingRounded * threshold;
  if (gOutside <= 0.0 && gInside > 0.0) {
    double s = gLow / (gLow - gHigh);
    int sinceHalved = 0;
    double gLast = std::numeric_limits<double>::infinity();
    for (int iteration = 0; iteration < kCrossingIterations; ++iteration) {
      if (!(std::fabs(gBest) > acceptable)) break;
      if (sinceHalved >= 1 && std::fabs(gBest) <= rounded) break;
      if (sinceHalved >= 2 || !(s > low && s < high)) {
        s = 0.5 * (low + high);
        sinceHalved = 0;
      }
      if (!(s > low && s < high)) break;
      const FieldSample sample = field.sampleAt(outside + s * along);
      const double gs = sign * sample.value - threshold;
      if (std::fabs(gs) <= 0.5 * gLast) {
        sinceHalved = 0;
      } else {
        ++sinceHalved;
      }
      gLast = std::fabs(gs);
      if (std::fabs(gs) < std::fabs(gBest)) {
        best = s;
        gBest = gs;
        bestSample = sample;
        sampled = true;
      }
      if (gs > 0.0) {
        high = s;
        gHigh = gs;
      } else if (gs <= 0.0) {
        low = s;
        gLow = gs;
      } else {
        break;
      }
      const double slope = sign * dot(sample.gradient, along);
      s -= gs / slope;
      if (!(s > low && s < high)) s = low + (high - low) * (gLow / (gLow - gHigh));
    }
  }
  MeshVertex vertex;
  vertex.position = outside + best * along;
  if (!sampled) bestSample = field.sampleAt(vertex.position);
  // Out of the lobe is where sign * value falls.
  const Vec3 out = -sign * bestSample.gradient;
  const double length = norm(out);
  if (length > 0.0 && std::isfinite(length)) {
    vertex.normal = (1.0 / length) * out;
  } else {
    vertex.normal = (1.0 / norm(along)) * (-along);
  }
  return vertex;
}

}  // namespace lobewright
