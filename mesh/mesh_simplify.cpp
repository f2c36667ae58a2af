#include "mesh/mesh_simplify.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "mesh/lobe_edits.h"

namespace lobewright {
namespace {

// The sum of squared distances to a set of planes, and how many planes it holds.
struct Quadric {
  std::array<double, 10> q{};  // xx xy xz yy yz zz, x y z (times d), d d
  double planes = 0.0;

  void addPlane(const Vec3& n, double d) {
    q[0] += n.x * n.x, q[1] += n.x * n.y, q[2] += n.x * n.z;
    q[3] += n.y * n.y, q[4] += n.y * n.z, q[5] += n.z * n.z;
    q[6] += n.x * d, q[7] += n.y * d, q[8] += n.z * d, q[9] += d * d;
    planes += 1.0;
  }
  void add(const Quadric& other) {
    for (std::size_t i = 0; i < q.size(); ++i) q[i] += other.q[i];
    planes += other.planes;
  }
  // The mean squared distance of p from the planes.
  [[nodiscard]] double meanAt(const Vec3& p) const {
    const double sum = q[0] * p.x * p.x + 2 * q[1] * p.x * p.y + 2 * q[2] * p.x * p.z +
                       q[3] * p.y * p.y + 2 * q[4] * p.y * p.z + q[5] * p.z * p.z +
                       2 * (q[6] * p.x + q[7] * p.y + q[8] * p.z) + q[9];
    return planes > 0.0 ? std::max(sum, 0.0) / planes : 0.0;
  }
};

// Merging vertex `from` into `to`, costed when each end had changed the given number of times.
struct Candidate {
  double cost;
  uint32_t from;
  uint32_t to;
  uint32_t fromChanges;
  uint32_t toChanges;
};

// The candidates by cost in buckets, cheapest bucket first: a heap's order is not worth its
// time here, where every cost is below the limit and nearly equal costs are as good as each other.
class CandidateQueue {
 public:
  void push(const Candidate& c, double limit) {
    const auto bucket =
        std::min(kBuckets - 1, static_cast<std::size_t>(std::sqrt(c.cost / limit) * kBuckets));
    m_buckets[bucket].push_back(c);
    m_first = std::min(m_first, bucket);
  }
  std::optional<Candidate> pop() {
    while (m_first < kBuckets && m_buckets[m_first].empty()) ++m_first;
    if (m_first == kBuckets) return std::nullopt;
    const Candidate c = m_buckets[m_first].back();
    m_buckets[m_first].pop_back();
    return c;
  }

 private:
  static constexpr std::size_t kBuckets = 256;
  std::array<std::vector<Candidate>, kBuckets> m_buckets;
  std::size_t m_first = 0;
};

std::vector<Quadric> quadricsOf(const LobeMesh& lobe) {
  std::vector<Quadric> quadrics(lobe.positions.size());
  for (const auto& t : lobe.triangles) {
    const Vec3& a = lobe.positions[t[0]];
    const Vec3 n = cross(lobe.positions[t[1]] - a, lobe.positions[t[2]] - a);
    const double length = norm(n);
    if (!(length > 0.0)) continue;
    const Vec3 unit = (1.0 / length) * n;
    for (const uint32_t v : t) quadrics[v].addPlane(unit, -dot(unit, a));
  }
  return quadrics;
}

}  // namespace

void simplifyLobe(LobeMesh& lobe, double targetShare, double largestError, double minimumArea) {
  const auto target =
      static_cast<std::size_t>(targetShare * static_cast<double>(lobe.triangles.size()));
  std::vector<Quadric> quadrics = quadricsOf(lobe);
  const double limit = largestError * largestError;
  // A candidate is stale once either end has changed since it was costed.
  std::vector<uint32_t> changes(lobe.positions.size(), 0);
  const auto costed = [&](uint32_t from, uint32_t to) -> std::optional<Candidate> {
    Quadric merged = quadrics[from];
    merged.add(quadrics[to]);
    const double cost = merged.meanAt(lobe.positions[to]);
    if (!(cost <= limit)) return std::nullopt;
    return Candidate{cost, from, to, changes[from], changes[to]};
  };
  CandidateQueue queue;
  for (const auto& triangle : lobe.triangles) {
    for (int k = 0; k < 3; ++k) {
      if (auto c = costed(triangle[k], triangle[(k + 1) % 3])) queue.push(*c, limit);
    }
  }
  LobeEdits edits(lobe, minimumArea);
  std::size_t live = lobe.triangles.size();
  std::vector<uint32_t> around;
  std::vector<uint32_t> neighbours;
  while (live > target) {
    const std::optional<Candidate> next = queue.pop();
    if (!next) break;
    const Candidate& c = *next;
    if (c.fromChanges != changes[c.from] || c.toChanges != changes[c.to]) continue;
    edits.beginPass();  // one collapse at a time, each on the lobe the last one left
    if (!edits.collapse(c.from, c.to)) continue;
    live -= 2;
    quadrics[c.to].add(quadrics[c.from]);
    ++changes[c.from];
    ++changes[c.to];
    edits.trianglesAround(c.to, around);
    neighbours.clear();
    for (const uint32_t t : around) {
      for (const uint32_t w : lobe.triangles[t]) {
        if (w != c.to) neighbours.push_back(w);
      }
    }
    std::sort(neighbours.begin(), neighbours.end());
    neighbours.erase(std::unique(neighbours.begin(), neighbours.end()), neighbours.end());
    for (const uint32_t w : neighbours) {
      for (const auto& [from, to] : {std::pair{w, c.to}, std::pair{c.to, w}}) {
        if (auto candidate = costed(from, to)) queue.push(*candidate, limit);
      }
    }
  }
  edits.compact();
}

}  // namespace lobewright
