#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "input/vector3.h"
#include "orbital/field_sample.h"

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
// A normal may come from a gradient taken this far (Angstrom) from its vertex: at most about a
// degree off on the surfaces of densities and MOs, far below what shading shows.
inline constexpr double kBorrowedNormalReach = 2e-3;

// Where the lobe of the given sign (+1 or -1) crosses the grid edge from `outside` (where
// sign * value - threshold, called g here, is not above 0) to `inside` (g above 0). gOutside may
// be NaN when that end was never evaluated; gInside is known.
//
// Newton's method on the field itself, with the analytic gradient along the edge (its first step
// on the cubic that also fits the ends' values), inside a bracket that every evaluation narrows:
// a step that would leave the bracket (or a derivative that is no use) falls back to the secant
// of the bracket, and a bisection is forced whenever two steps in a row have not halved |g|, so
// it converges on any continuous field and on the single-precision model's steps alike, usually
// in two evaluations. A step that ends within kBorrowedNormalReach of the sample it was taken
// from is evaluated without a gradient (a density's value skips the gradients and half of the
// pairs of AOs), and the normal there is that sample's. The vertex is the evaluated point whose
// g is nearest 0, so on a field that jumps across the threshold it is the nearer side of the
// jump. A pair of ends that does not bracket (an inside point on the border of a box too small
// for its surface) gives the outside end.
//
// The search asks for one evaluation at a time (need() and point()) and is given its result, so
// that many searches can have their evaluations done together (findCrossings).
class CrossingSearch {
 public:
  enum class Need : uint8_t { value, sample, nothing };

  CrossingSearch(double sign, double threshold, const Vec3& outside, double gOutside,
                 const Vec3& inside, double gInside)
      : m_sign(sign),
        m_threshold(threshold),
        m_outside(outside),
        m_along(inside - outside),
        m_gInside(gInside) {
    if (std::isnan(gOutside)) {
      m_need = Need::value;
      m_point = outside;
      return;
    }
    start(gOutside);
  }

  [[nodiscard]] Need need() const { return m_need; }
  // Where the next evaluation is wanted.
  [[nodiscard]] const Vec3& point() const { return m_point; }

  void takeValue(double value) {
    if (m_iterating) {
      takeCheck(value);
    } else {
      start(m_sign * value - m_threshold);
    }
  }

  void takeSample(const FieldSample& sample) {
    if (!m_iterating) {
      m_bestSample = sample;
      m_need = Need::nothing;
      return;
    }
    const double gs = m_sign * sample.value - m_threshold;
    if (!record(gs, sample)) return;
    // Newton's step on g, or on log(value / threshold), h here, where the field keeps its sign.
    const double slope = m_sign * dot(sample.gradient, m_along);
    const bool logarithmic = m_logarithmic && gs + m_threshold > 0.0;
    const double h = straightened(gs, logarithmic);
    const double dh = logarithmic ? slope / (gs + m_threshold) : slope;
    const double at = m_s;
    m_s = at - h / dh;
    // The first step also has the ends' values to go by: the cubic through them with this h and
    // its slope usually comes within the accepted distance at once, where Newton's step needs a
    // second.
    if (m_iteration == 1 && logarithmic == m_logarithmic) {
      const double cubic = cubicStep(at, h, dh);
      if (std::isfinite(cubic)) m_s = cubic;
    }
    if (!(m_s > m_low && m_s < m_high)) m_s = secantOfBracket();
    m_lastGradient = sample.gradient;
    m_lastSlope = dh;
    m_lastLogarithmic = logarithmic;
    m_checkNext = std::fabs(m_s - at) * norm(m_along) <= kBorrowedNormalReach;
    planNext();
  }

  // The vertex, once nothing more is needed.
  [[nodiscard]] MeshVertex vertex() const {
    MeshVertex vertex;
    vertex.position = bestPosition();
    // Out of the lobe is where sign * value falls.
    const Vec3 out = -m_sign * m_bestSample.gradient;
    const double length = norm(out);
    if (length > 0.0 && std::isfinite(length)) {
      vertex.normal = (1.0 / length) * out;
    } else {
      vertex.normal = (1.0 / norm(m_along)) * (-m_along);
    }
    return vertex;
  }

 private:
  [[nodiscard]] Vec3 bestPosition() const { return m_outside + m_best * m_along; }

  // A step short enough for the last sample's gradient to stand in for the normal is checked by
  // a value alone; should it fall short, the next step goes on that sample's slope.
  void takeCheck(double value) {
    const double gs = m_sign * value - m_threshold;
    if (!record(gs, FieldSample{value, m_lastGradient})) return;
    const bool logarithmic = m_lastLogarithmic && gs + m_threshold > 0.0;
    m_s -= straightened(gs, logarithmic) / m_lastSlope;
    if (logarithmic != m_lastLogarithmic || !(m_s > m_low && m_s < m_high)) {
      m_s = secantOfBracket();
    }
    m_checkNext = false;
    planNext();
  }

  // Counts the evaluation of g at m_s, keeps it if it is the best so far and narrows the bracket;
  // false, with the search ended, where g is NaN.
  bool record(double gs, const FieldSample& sample) {
    ++m_iteration;
    if (std::fabs(gs) <= 0.5 * m_gLast) {
      m_sinceHalved = 0;
    } else {
      ++m_sinceHalved;
    }
    m_gLast = std::fabs(gs);
    if (std::fabs(gs) < std::fabs(m_gBest)) {
      m_best = m_s;
      m_gBest = gs;
      m_bestSample = sample;
      m_sampled = true;
    }
    if (gs > 0.0) {
      m_high = m_s;
      m_gHigh = gs;
    } else if (gs <= 0.0) {
      m_low = m_s;
      m_gLow = gs;
    } else {
      m_iterating = false;
      planNext();
      return false;
    }
    return true;
  }

  void start(double gOutside) {
    m_low = 0.0;
    m_high = 1.0;
    m_gLow = gOutside;
    m_gHigh = m_gInside;
    m_best = std::fabs(m_gInside) < std::fabs(gOutside) ? 1.0 : 0.0;
    m_gBest = m_best == 1.0 ? m_gInside : gOutside;
    m_iterating = gOutside <= 0.0 && m_gInside > 0.0;
    m_logarithmic = gOutside + m_threshold > 0.0;
    m_hOutside = straightened(gOutside, m_logarithmic);
    m_hInside = straightened(m_gInside, m_logarithmic);
    if (m_iterating) m_s = secantOfBracket();
    planNext();
  }

  // Where h(s) = h + dh (s - at) + a (s - at)^2 + b (s - at)^3 crosses 0 near Newton's step, with
  // a and b such that it passes through h at the edge's ends; NaN where that fails.
  [[nodiscard]] double cubicStep(double at, double h, double dh) const {
    const double d0 = -at;
    const double d1 = 1.0 - at;
    const double r0 = m_hOutside - h - dh * d0;
    const double r1 = m_hInside - h - dh * d1;
    const double determinant = d0 * d0 * d1 * d1;  // times d1 - d0, which is 1
    const double a = (r0 * d1 * d1 * d1 - r1 * d0 * d0 * d0) / determinant;
    const double b = (r1 * d0 * d0 - r0 * d1 * d1) / determinant;
    double x = -h / dh;
    for (int i = 0; i < 3; ++i) {
      x -= (h + x * (dh + x * (a + x * b))) / (dh + x * (2.0 * a + 3.0 * b * x));
    }
    return at + x;
  }

  // Where the line through the bracket's ends crosses; for a field of one sign along the edge,
  // the line through their logarithms, since such a field falls nearly exponentially.
  [[nodiscard]] double secantOfBracket() const {
    const double low = straightened(m_gLow, m_logarithmic);
    const double high = straightened(m_gHigh, m_logarithmic);
    return m_low + (m_high - m_low) * (low / (low - high));
  }

  // g as the steps see it, h: log(value / threshold) where the field keeps its sign, else g.
  [[nodiscard]] double straightened(double g, bool logarithmic) const {
    return logarithmic ? std::log((g + m_threshold) / m_threshold) : g;
  }

  // The next Newton (or bracketing) step's point while the search goes on; then the sample at
  // the best point, unless the best point was sampled already.
  void planNext() {
    const double planned = m_s;
    if (m_iterating && nextStep()) {
      m_need = m_checkNext && m_s == planned ? Need::value : Need::sample;
      m_point = m_outside + m_s * m_along;
      return;
    }
    m_iterating = false;
    m_need = m_sampled ? Need::nothing : Need::sample;
    m_point = bestPosition();
  }

  // Whether another step is taken, with m_s set to it.
  [[nodiscard]] bool nextStep() {
    if (m_iteration >= kCrossingIterations) return false;
    if (!(std::fabs(m_gBest) > kCrossingAcceptable * m_threshold)) return false;
    if (m_sinceHalved >= 1 && std::fabs(m_gBest) <= kCrossingRounded * m_threshold) return false;
    if (m_sinceHalved >= 2 || !(m_s > m_low && m_s < m_high)) {
      m_s = 0.5 * (m_low + m_high);
      m_sinceHalved = 0;
    }
    return m_s > m_low && m_s < m_high;
  }

  double m_sign;
  double m_threshold;
  Vec3 m_outside;
  Vec3 m_along;
  double m_gInside;
  Need m_need = Need::nothing;
  Vec3 m_point;
  bool m_iterating = false;
  bool m_logarithmic = false;
  bool m_sampled = false;
  int m_iteration = 0;
  int m_sinceHalved = 0;
  double m_s = 0.0;
  double m_low = 0.0;
  double m_high = 1.0;
  double m_gLow = 0.0;
  double m_gHigh = 0.0;
  double m_gLast = std::numeric_limits<double>::infinity();
  double m_best = 0.0;
  double m_gBest = 0.0;
  double m_hOutside = 0.0;  // h at the edge's ends
  double m_hInside = 0.0;
  FieldSample m_bestSample;
  Vec3 m_lastGradient;  // of the last sample, with the slope of h along the edge there
  double m_lastSlope = 0.0;
  bool m_lastLogarithmic = false;
  bool m_checkNext = false;
};

// Runs the searches to their ends, the evaluations of each round together and in the searches'
// order (so that neighbouring searches share a batch), and appends their vertices in that order.
// The points and the results are kept in the scratch between calls.
struct CrossingScratch {
  std::vector<std::size_t> waiting;
  std::vector<Vec3> points;
  std::vector<double> values;
  std::vector<FieldSample> samples;
};

template <SampledField F>
void findCrossings(const F& field, std::vector<CrossingSearch>& searches,
                   std::vector<MeshVertex>& vertices, CrossingScratch& scratch) {
  for (;;) {
    bool done = true;
    for (const auto need : {CrossingSearch::Need::value, CrossingSearch::Need::sample}) {
      scratch.waiting.clear();
      scratch.points.clear();
      for (std::size_t i = 0; i < searches.size(); ++i) {
        if (searches[i].need() != need) continue;
        scratch.waiting.push_back(i);
        scratch.points.push_back(searches[i].point());
      }
      if (scratch.waiting.empty()) continue;
      done = false;
      if (need == CrossingSearch::Need::value) {
        scratch.values.resize(scratch.points.size());
        valuesOf(field, scratch.points, scratch.values);
        for (std::size_t j = 0; j < scratch.waiting.size(); ++j) {
          searches[scratch.waiting[j]].takeValue(scratch.values[j]);
        }
      } else {
        scratch.samples.resize(scratch.points.size());
        samplesOf(field, scratch.points, scratch.samples);
        for (std::size_t j = 0; j < scratch.waiting.size(); ++j) {
          searches[scratch.waiting[j]].takeSample(scratch.samples[j]);
        }
      }
    }
    if (done) break;
  }
  for (const CrossingSearch& search : searches) vertices.push_back(search.vertex());
}

}  // namespace lobewright
