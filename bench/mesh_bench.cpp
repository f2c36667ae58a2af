// Times the watertight mesher on a sample's HOMO through the classic model: finding the surface
// box, the sweep with sliver removal, evaluations of the orbital, vertices and triangles. The best
// of five runs is kept.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "classic_sample.h"
#include "mesh/surface_box.h"
#include "mesh/watertight_mesher.h"
#include "orbital/classic_field.h"

namespace lobewright {
namespace {

// The classic field, counting what the mesher asks of it (from any thread).
class CountingField {
 public:
  explicit CountingField(const ClassicField& field) : m_field(field) {}

  [[nodiscard]] double valueAt(const Vec3& p) const {
    m_values.fetch_add(1, std::memory_order_relaxed);
    return m_field.valueAt(p);
  }
  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    m_samples.fetch_add(1, std::memory_order_relaxed);
    return m_field.sampleAt(p);
  }
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    return m_field.boundOfMagnitude(low, high);
  }
  [[nodiscard]] int64_t evaluations() const { return m_values + m_samples; }

 private:
  const ClassicField& m_field;
  mutable std::atomic<int64_t> m_values{0};
  mutable std::atomic<int64_t> m_samples{0};
};

struct Result {
  double seconds = 0;
  double cpuSeconds = 0;
  int64_t evaluations = 0;
  int64_t gridPoints = 0;
  std::size_t vertices = 0;
  std::size_t triangles = 0;
};

Result meshOnce(const ClassicOrbital& orbital, int scale, float threshold, int threads) {
  const ClassicField classic(orbital);
  const CountingField field(classic);
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  const std::optional<GridBox> box =
      findSurfaceBox(field, threshold, scale, classic.atomsLow(), classic.atomsHigh());
  if (!box) {
    std::fprintf(stderr, "no surface box\n");
    std::exit(1);
  }
  SweepControl control;
  control.threads = threads;
  const OrbitalMesh mesh = meshIsosurface(field, threshold, scale, *box, control);
  Result r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.cpuSeconds = cpuSeconds() - cpuStart;
  r.evaluations = field.evaluations();
  r.gridPoints = gridPointCount(*box);
  r.vertices = mesh.positive.positions.size() + mesh.negative.positions.size();
  r.triangles = mesh.positive.triangles.size() + mesh.negative.triangles.size();
  return r;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  if (argc < 2) {
    std::fprintf(stderr, "usage: mesh_bench DATA_DIR [SAMPLE...]\n");
    return 2;
  }
  const std::string dataDir = argv[1];
  std::vector<std::string> samples(argv + 2, argv + argc);
  if (samples.empty()) samples = {"caffeine.mno"};
  constexpr float kThreshold = 0.05f;
  std::printf("%-16s %5s %7s %8s %8s %11s %12s %9s %9s\n", "sample", "scale", "threads", "wall s",
              "cpu s", "grid points", "evaluations", "vertices", "triangles");
  for (const std::string& sample : samples) {
    const bench::ClassicSample read = bench::readClassicHomo(dataDir, sample);
    for (const int scale : {4, 8, 16}) {
      const ClassicOrbital orbital(read.calculation, read.homo, scale, 3.5f);
      for (const int threads : {1, 2}) {
        Result best = meshOnce(orbital, scale, kThreshold, threads);
        for (int run = 1; run < 5; ++run) {
          const Result next = meshOnce(orbital, scale, kThreshold, threads);
          if (next.seconds < best.seconds) best = next;
        }
        std::printf("%-16s %5d %7d %8.3f %8.3f %11lld %12lld %9zu %9zu\n", sample.c_str(), scale,
                    threads, best.seconds, best.cpuSeconds, static_cast<long long>(best.gridPoints),
                    static_cast<long long>(best.evaluations), best.vertices, best.triangles);
        std::fflush(stdout);
      }
    }
  }
  return 0;
}
