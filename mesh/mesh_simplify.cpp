#include "mesh/mesh_simplify.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "mesh/lobe_edits.h"
#include "mesh/worker_threads.h"

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

// Merging vertex `from` into `to`, in the bucket of its cost, costed when the two ends together
// had changed `version` times (each end's count only grows, so the sum tells whether either
// changed). Lobes of millions of triangles queue several candidates per triangle, so they are
// kept small.
struct Candidate {
  uint32_t from;
  uint32_t to;
  uint32_t version;
  uint32_t bucket;
};

// The candidates by cost in buckets, cheapest bucket first: a heap's order is not worth its
// time here, where every cost is below the limit and nearly equal costs are as good as each other.
class CandidateQueue {
 public:
  static constexpr std::size_t kBuckets = 256;

  // The bucket of a cost within the limit.
  [[nodiscard]] static uint32_t bucketOf(double cost, double limit) {
    return static_cast<uint32_t>(
        std::min(kBuckets - 1, static_cast<std::size_t>(std::sqrt(cost / limit) * kBuckets)));
  }
  void push(const Candidate& c) {
    m_buckets[c.bucket].push_back(c);
    m_first = std::min<std::size_t>(m_first, c.bucket);
    ++m_size;
  }
  std::optional<Candidate> pop() {
    while (m_first < kBuckets && m_buckets[m_first].empty()) ++m_first;
    if (m_first == kBuckets) return std::nullopt;
    const Candidate c = m_buckets[m_first].back();
    m_buckets[m_first].pop_back();
    --m_size;
    return c;
  }
  // Each collapse queues new candidates for the edges it changed and leaves their old ones, which
  // pop() would only skip. Once the queue has doubled since it was last rid of them, they go, so
  // that it stays within a few times the lobe's edges; the others keep their order.
  template <class Stale>
  void dropStaleWhenGrown(const Stale& stale) {
    if (m_size <= 2 * m_sizeAfterDrop) return;
    m_size = 0;
    for (std::vector<Candidate>& bucket : m_buckets) {
      bucket.erase(std::remove_if(bucket.begin(), bucket.end(), stale), bucket.end());
      m_size += bucket.size();
    }
    m_sizeAfterDrop = std::max(m_size, kSmallest);
  }

 private:
  // No queue below this size is rid of stale candidates.
  static constexpr std::size_t kSmallest = 1 << 16;

  std::array<std::vector<Candidate>, kBuckets> m_buckets;
  std::size_t m_first = 0;
  std::size_t m_size = 0;
  std::size_t m_sizeAfterDrop = kSmallest;
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

// The lobe's longest axis (0, 1 or 2) and its length.
std::pair<int, double> longestAxis(const LobeMesh& lobe) {
  Vec3 low = lobe.positions.front();
  Vec3 high = low;
  for (const Vec3& p : lobe.positions) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  const Vec3 extent = high - low;
  if (extent.x >= extent.y && extent.x >= extent.z) return {0, extent.x};
  return extent.y >= extent.z ? std::pair{1, extent.y} : std::pair{2, extent.z};
}

// How the lobe is cut into slabs along its longest axis: about kLeanRegionTriangles triangles
// each, but none thinner than kSlabEdges of its edges, since a collapse whose triangles cross a
// slab's border waits for the last pass on one thread. (A cluster of a thousand atoms has a
// million triangles in 25 Angstrom: slabs of 8,000 would be thinner than one edge.)
struct SlabCut {
  std::size_t count = 0;
  int axis = 0;
};
SlabCut slabCutOf(const LobeMesh& lobe) {
  constexpr double kSlabEdges = 16.0;
  const std::size_t byTriangles = lobe.triangles.size() / kLeanRegionTriangles;
  if (byTriangles < 2) return {byTriangles, 0};
  double edges = 0.0;
  for (const auto& t : lobe.triangles) edges += norm(lobe.positions[t[1]] - lobe.positions[t[0]]);
  const double meanEdge = edges / static_cast<double>(lobe.triangles.size());
  const auto [axis, length] = longestAxis(lobe);
  const double byThickness = length / (kSlabEdges * meanEdge);
  if (!(byThickness < static_cast<double>(byTriangles))) {
    return {std::min<std::size_t>(byTriangles, UINT16_MAX), axis};
  }
  return {static_cast<std::size_t>(byThickness), axis};
}

// Cuts the lobe into slabs of nearly equal numbers of vertices: each vertex's slab.
std::vector<uint16_t> slabsOf(const LobeMesh& lobe, const SlabCut& cut) {
  const std::size_t count = cut.count;
  const int axis = cut.axis;
  const auto along = [axis](const Vec3& p) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); };
  std::vector<double> coordinates;
  coordinates.reserve(lobe.positions.size());
  for (const Vec3& p : lobe.positions) coordinates.push_back(along(p));
  std::vector<double> cuts;
  for (std::size_t k = 1; k < count; ++k) {
    const auto middle =
        coordinates.begin() + static_cast<std::ptrdiff_t>(k * coordinates.size() / count);
    std::nth_element(coordinates.begin(), middle, coordinates.end());
    cuts.push_back(*middle);
  }
  std::sort(cuts.begin(), cuts.end());
  std::vector<uint16_t> slabs;
  slabs.reserve(lobe.positions.size());
  for (const Vec3& p : lobe.positions) {
    slabs.push_back(
        static_cast<uint16_t>(std::upper_bound(cuts.begin(), cuts.end(), along(p)) - cuts.begin()));
  }
  return slabs;
}

// The collapses of one lobe, cheapest first, over the whole lobe or within one slab at a time.
// Collapses within different slabs touch different triangles and vertices, so slabs may be
// worked on at once.
class Collapses {
 public:
  Collapses(LobeMesh& lobe, double largestError, double minimumArea)
      : m_lobe(lobe),
        m_quadrics(quadricsOf(lobe)),
        m_limit(largestError * largestError),
        m_changes(lobe.positions.size(), 0),
        m_edits(lobe, minimumArea) {
    m_edits.stopLocking();
  }

  [[nodiscard]] std::optional<Candidate> costed(uint32_t from, uint32_t to) const {
    Quadric merged = m_quadrics[from];
    merged.add(m_quadrics[to]);
    const double cost = merged.meanAt(m_lobe.positions[to]);
    if (!(cost <= m_limit)) return std::nullopt;
    return Candidate{from, to, m_changes[from] + m_changes[to],
                     CandidateQueue::bucketOf(cost, m_limit)};
  }
  void push(CandidateQueue& queue, uint32_t from, uint32_t to) const {
    if (auto c = costed(from, to)) queue.push(*c);
  }
  [[nodiscard]] bool stale(const Candidate& c) const {
    return c.version != m_changes[c.from] + m_changes[c.to];
  }

  // Makes the queue's collapses until `live` triangles are left or none is. Within a region of
  // one slab, only those whose triangles lie in it; the others go to `deferred`, as do those
  // still queued at the end.
  void run(CandidateQueue& queue, std::size_t& live, std::size_t target,
           const LobeEdits::Region& region = {}, std::vector<Candidate>* deferred = nullptr) {
    std::vector<uint32_t> neighbours;
    while (live > target) {
      const std::optional<Candidate> next = queue.pop();
      if (!next) break;
      const Candidate& c = *next;
      if (stale(c)) continue;
      const LobeEdits::Collapse made = m_edits.collapseWithin(c.from, c.to, region);
      if (made == LobeEdits::Collapse::outsideRegion) deferred->push_back(c);
      if (made != LobeEdits::Collapse::made) continue;
      live -= 2;
      m_quadrics[c.to].add(m_quadrics[c.from]);
      ++m_changes[c.from];
      ++m_changes[c.to];
      m_edits.neighbours(c.to, neighbours);
      for (const uint32_t w : neighbours) {
        push(queue, w, c.to);
        push(queue, c.to, w);
      }
      queue.dropStaleWhenGrown([this](const Candidate& old) { return stale(old); });
    }
    if (deferred == nullptr) return;
    while (const std::optional<Candidate> left = queue.pop()) {
      if (!stale(*left)) deferred->push_back(*left);
    }
  }

  void compact() { m_edits.compact(); }

 private:
  LobeMesh& m_lobe;
  std::vector<Quadric> m_quadrics;
  double m_limit;
  // A candidate is stale once either end has changed since it was costed.
  std::vector<uint32_t> m_changes;
  LobeEdits m_edits;
};

// Runs work(0) to work(count - 1) on up to `threads` threads, this one included, and throws the
// first exception any of them threw once all have ended.
void runEach(std::size_t count, int threads, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto worker = [&] {
    for (std::size_t k = next++; k < count && !failed; k = next++) {
      try {
        work(k);
      } catch (...) {
        const std::lock_guard guard(failureLock);
        if (!failure) failure = std::current_exception();
        failed = true;
      }
    }
  };
  {
    const int extra = static_cast<int>(std::min<std::size_t>(count, std::max(threads, 1))) - 1;
    WorkerThreads helpers(extra, worker, [&](std::exception_ptr) { failed = true; });
    worker();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void simplifyLobe(LobeMesh& lobe, double targetShare, double largestError, double minimumArea,
                  int threads) {
  const std::size_t triangles = lobe.triangles.size();
  const auto share = [targetShare](std::size_t count) {
    return static_cast<std::size_t>(targetShare * static_cast<double>(count));
  };
  Collapses collapses(lobe, largestError, minimumArea);
  CandidateQueue queue;
  std::size_t live = triangles;
  const SlabCut cut = slabCutOf(lobe);
  const std::size_t slabCount = cut.count;
  if (slabCount < 2) {
    for (const auto& t : lobe.triangles) {
      for (int k = 0; k < 3; ++k) collapses.push(queue, t[k], t[(k + 1) % 3]);
    }
  } else {
    // A triangle counts in the slab of its first corner; a collapse within a slab kills two of
    // its own.
    const std::vector<uint16_t> slabs = slabsOf(lobe, cut);
    std::vector<std::vector<uint32_t>> trianglesIn(slabCount);
    for (uint32_t t = 0; t < triangles; ++t) trianglesIn[slabs[lobe.triangles[t][0]]].push_back(t);
    std::vector<std::vector<Candidate>> deferred(slabCount);
    std::vector<std::size_t> liveIn(slabCount, 0);
    runEach(slabCount, threads, [&](std::size_t k) {
      CandidateQueue slabQueue;
      for (const uint32_t t : trianglesIn[k]) {
        for (int corner = 0; corner < 3; ++corner) {
          const uint32_t from = lobe.triangles[t][corner];
          const uint32_t to = lobe.triangles[t][(corner + 1) % 3];
          if (const std::optional<Candidate> c = collapses.costed(from, to)) {
            if (slabs[from] == k && slabs[to] == k) {
              slabQueue.push(*c);
            } else {
              deferred[k].push_back(*c);
            }
          }
        }
      }
      liveIn[k] = trianglesIn[k].size();
      collapses.run(slabQueue, liveIn[k], share(liveIn[k]), {&slabs, static_cast<uint16_t>(k)},
                    &deferred[k]);
    });
    live = 0;
    for (std::size_t k = 0; k < slabCount; ++k) {
      live += liveIn[k];
      for (const Candidate& c : deferred[k]) {
        if (!collapses.stale(c)) queue.push(c);
      }
      deferred[k] = {};
    }
  }
  collapses.run(queue, live, share(triangles));
  collapses.compact();
}

}  // namespace lobewright
