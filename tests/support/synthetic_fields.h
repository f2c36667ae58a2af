#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "orbital/field_sample.h"

// Fields with known shapes for the watertight mesher, each with its analytic gradient and a
// rigorous bound of |value| over a box (which may reach to infinity).
namespace lobewright::testing {

inline double distanceToRange(double value, double low, double high) {
  if (value < low) return low - value;
  if (value > high) return value - high;
  return 0.0;
}

inline double distanceToBox(const Vec3& p, const Vec3& low, const Vec3& high) {
  const double dx = distanceToRange(p.x, low.x, high.x);
  const double dy = distanceToRange(p.y, low.y, high.y);
  const double dz = distanceToRange(p.z, low.z, high.z);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// weight * exp(-exponent r^2) (Gaussian) or weight * exp(-exponent r) (Slater-like).
struct Blob {
  Vec3 centre;
  double weight = 1.0;
  double exponent = 1.0;
  bool slater = false;
};

class BlobField {
 public:
  explicit BlobField(std::vector<Blob> blobs, bool bounded = true)
      : m_blobs(std::move(blobs)), m_bounded(bounded) {}

  [[nodiscard]] double valueAt(const Vec3& p) const { return sampleAt(p).value; }

  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    FieldSample sample;
    for (const Blob& b : m_blobs) {
      const Vec3 d = p - b.centre;
      const double r = norm(d);
      if (b.slater) {
        const double v = b.weight * std::exp(-b.exponent * r);
        sample.value += v;
        if (r > 0.0) sample.gradient = sample.gradient + (-b.exponent * v / r) * d;
      } else {
        const double v = b.weight * std::exp(-b.exponent * r * r);
        sample.value += v;
        sample.gradient = sample.gradient + (-2.0 * b.exponent * v) * d;
      }
    }
    return sample;
  }

  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    if (!m_bounded) return std::numeric_limits<double>::infinity();
    double bound = 0.0;
    for (const Blob& b : m_blobs) {
      const double r = distanceToBox(b.centre, low, high);
      bound += std::fabs(b.weight) * std::exp(b.slater ? -b.exponent * r : -b.exponent * r * r);
    }
    return bound;
  }

 private:
  std::vector<Blob> m_blobs;
  bool m_bounded;
};

// exp(-((rho - radius)^2 + z^2) / width^2) around the z axis: a torus.
class TorusField {
 public:
  TorusField(double radius, double width) : m_radius(radius), m_width(width) {}

  [[nodiscard]] double valueAt(const Vec3& p) const { return sampleAt(p).value; }

  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    const double rho = std::hypot(p.x, p.y);
    const double w2 = m_width * m_width;
    const double v = std::exp(-((rho - m_radius) * (rho - m_radius) + p.z * p.z) / w2);
    const double radial = rho > 0.0 ? -2.0 * (rho - m_radius) / w2 * v / rho : 0.0;
    return {v, {radial * p.x, radial * p.y, -2.0 * p.z / w2 * v}};
  }

  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    // The box's distances from the z axis lie between its nearest and farthest points' in x-y.
    const double nearX = distanceToRange(0.0, low.x, high.x);
    const double nearY = distanceToRange(0.0, low.y, high.y);
    const double farX = std::max(std::fabs(low.x), std::fabs(high.x));
    const double farY = std::max(std::fabs(low.y), std::fabs(high.y));
    const double rhoLow = std::hypot(nearX, nearY);
    const double rhoHigh = std::hypot(farX, farY);
    const double radialGap = std::max({0.0, rhoLow - m_radius, m_radius - rhoHigh});
    const double zGap = distanceToRange(0.0, low.z, high.z);
    return std::exp(-(radialGap * radialGap + zGap * zGap) / (m_width * m_width));
  }

 private:
  double m_radius;
  double m_width;
};

// exp(-r^2 / spread^2) cos(kx) cos(ky) cos(kz): lobes of alternating sign in a cubic pattern
// that meet at saddles, so grid faces and cubes with alternating corners are common.
class WaveField {
 public:
  WaveField(double k, double spread, Vec3 shift = {}) : m_k(k), m_spread(spread), m_shift(shift) {}

  [[nodiscard]] double valueAt(const Vec3& p) const { return sampleAt(p).value; }

  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    const Vec3 q = p - m_shift;
    const double s2 = m_spread * m_spread;
    const double envelope = std::exp(-dot(q, q) / s2);
    const double cx = std::cos(m_k * q.x);
    const double cy = std::cos(m_k * q.y);
    const double cz = std::cos(m_k * q.z);
    const double wave = cx * cy * cz;
    const double v = envelope * wave;
    const Vec3 waveGradient{-m_k * std::sin(m_k * q.x) * cy * cz,
                            -m_k * cx * std::sin(m_k * q.y) * cz,
                            -m_k * cx * cy * std::sin(m_k * q.z)};
    return {v, (-2.0 / s2 * v) * q + envelope * waveGradient};
  }

  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    const double r = distanceToBox(m_shift, low, high);
    return std::exp(-r * r / (m_spread * m_spread));
  }

 private:
  double m_k;
  double m_spread;
  Vec3 m_shift;
};

// Any field with its sign turned.
template <class F>
class NegatedField {
 public:
  explicit NegatedField(const F& field) : m_field(field) {}

  [[nodiscard]] double valueAt(const Vec3& p) const { return -m_field.valueAt(p); }
  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    const FieldSample s = m_field.sampleAt(p);
    return {-s.value, -s.gradient};
  }
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    return m_field.boundOfMagnitude(low, high);
  }

 private:
  const F& m_field;
};

}  // namespace lobewright::testing
