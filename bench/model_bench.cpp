// Times whole conversions of the same molecules with the classic and the exact model, stage by
// stage as the conversion runs them, on all cores: reading the input, the MO's coefficients over
// the AOs (S^-1/2 c), the grid box, the sweep or the watertight mesh, and writing the file. Each
// case runs three times (or RUNS times) in a child process of its own, so that its peak memory is
// its own, and the fastest run is kept. Then one MO de-orthogonalised over 2,500 AOs, on an idle
// machine and with another core kept busy.
//
//   model_bench DATA_DIR [RUNS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "app/classic_scene.h"
#include "app/conversion.h"
#include "app/exact_input.h"
#include "app/grid_extent.h"
#include "app/homo_lumo_locator.h"
#include "app/mesh_output.h"
#include "app/output_file.h"
#include "app/surface_conversion.h"
#include "bench_support.h"
#include "input/orbital_choice.h"
#include "mesh/watertight_mesher.h"
#include "orbital/deorthogonalisation.h"
#include "orbital/exact_orbital.h"
#include "synthetic_overlap.h"
#include "writers/pov_scene_writer.h"

namespace lobewright {
namespace {

// The exact orbital, counting what the mesher asks of it (from any thread): values, mostly at
// grid points, and samples with gradients at crossing points.
class CountingOrbital : public Field {
 public:
  explicit CountingOrbital(const ExactOrbital& orbital) : m_orbital(orbital) {}

  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override {
    m_values.fetch_add(static_cast<int64_t>(points.size()), std::memory_order_relaxed);
    m_orbital.valuesAt(points, values);
  }
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override {
    m_samples.fetch_add(static_cast<int64_t>(points.size()), std::memory_order_relaxed);
    m_orbital.samplesAt(points, samples);
  }
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override {
    return m_orbital.boundOfMagnitude(low, high);
  }
  [[nodiscard]] int64_t values() const { return m_values; }
  [[nodiscard]] int64_t samples() const { return m_samples; }

 private:
  const ExactOrbital& m_orbital;
  mutable std::atomic<int64_t> m_values{0};
  mutable std::atomic<int64_t> m_samples{0};
};

struct Case {
  const char* name;
  const char* file;
  OrbitalModel model;
  OutputKind kind;
  const char* extension;
};

struct Result {
  bool ok = false;
  int atoms = 0;
  int aos = 0;
  double read = 0;
  double orbital = 0;  // S^-1/2 c and the orbital's set-up
  double box = 0;
  double surface = 0;  // the sweep or the mesh; for the classic model with the writing
  double write = 0;
  double cpu = 0;  // of every thread, from reading to writing
  int64_t gridPoints = 0;
  int64_t evaluations = 0;
  int64_t gridValues = -1;  // grid points evaluated, where known
  int64_t triangles = 0;
  long peakKilobytes = 0;
  [[nodiscard]] double total() const { return read + orbital + box + surface + write; }
};

ConversionRequest requestFor(const std::string& input, const Case& c, const std::string& output,
                             int mo) {
  ConversionRequest request;
  request.inputFile = input;
  request.parameterFile = std::filesystem::path(input).parent_path() / "pm3r.txt";
  request.settings.model = c.model;
  request.settings.outputKind = c.kind;
  request.settings.outputPath = output;
  request.settings.scale = 8;
  request.settings.moNumber = mo;
  request.sweep = {SweepEngine::fast, defaultThreadCount()};
  return request;
}

// The HOMO's number, found before the clock starts.
int homoOf(const std::string& input, OrbitalModel model) {
  ConversionRequest request;
  request.inputFile = input;
  request.settings.model = model;
  const FrontierNumbers numbers = findFrontierNumbers(request);
  if (!numbers.error.empty()) {
    std::fprintf(stderr, "%s\n", numbers.error.c_str());
    std::exit(1);
  }
  return numbers.homo;
}

// The classic conversion, as drawOrbital does it for a .pov.
Result runClassic(const ConversionRequest& request) {
  Result r;
  SilentSink sink;
  auto start = Clock::now();
  const InputLoad load = loadInput(request, sink);
  if (!load.input) return r;
  const ClassicCalculation& calculation = *load.input->classic;
  const ClassicMoFound found = findClassicMo(calculation, request.settings.moNumber);
  if (!found.orbital) return r;
  r.read = secondsSince(start);
  r.atoms = static_cast<int>(calculation.atoms.size());

  start = Clock::now();
  const ConversionSettings& settings = request.settings;
  const ClassicOrbital orbital(calculation, found.orbital->coefficients, settings.scale,
                               settings.cutoff);
  if (!gridBoundsFit(orbital, settings.scale)) return r;
  const GridBounds bounds = computeGridBounds(orbital, settings.scale);
  r.box = secondsSince(start);
  r.gridPoints = cubeCount(bounds);

  start = Clock::now();
  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(settings.outputPath, error);
  if (!output) return r;
  output->stream().imbue(std::locale::classic());
  const SweepCounters counters = writeClassicScene(
      output->stream(), OutputKind::PovRay, orbital, classicSceneAtoms(calculation, settings.scale),
      sceneOptions(settings), bounds, [](int) {}, request.sweep);
  if (!output->commit()) return r;
  r.surface = secondsSince(start);
  r.evaluations = counters.evaluations;
  r.triangles = counters.triangles;
  r.ok = true;
  return r;
}

// The exact conversion, as drawOrbital does it for a format drawn from the watertight mesh.
Result runExact(const ConversionRequest& request) {
  Result r;
  SilentSink sink;
  auto start = Clock::now();
  InputLoad load = loadInput(request, sink);
  if (!load.input) return r;
  Calculation& calculation = *load.input->exact;
  r.read = secondsSince(start);
  r.atoms = static_cast<int>(calculation.atoms.size());
  r.aos = static_cast<int>(calculation.basis.size());

  start = Clock::now();
  const ExactOrbitalInput orbital =
      exactOrbitalOf(calculation, request.settings, request.inputFile);
  if (!orbital.orbital) return r;
  r.orbital = secondsSince(start);

  const ConversionSettings& settings = request.settings;
  const CountingOrbital field(*orbital.orbital);
  start = Clock::now();
  const std::optional<GridBox> box = surfaceBoxAround(field, calculation.atoms, request.settings);
  if (!box) return r;
  r.box = secondsSince(start);
  r.gridPoints = gridPointCount(*box);

  start = Clock::now();
  const OrbitalMesh mesh =
      meshIsosurface(field, settings.threshold, settings.scale, *box,
                     {[](int) {}, std::stop_token{}, std::max(1, request.sweep.threads)});
  r.surface = secondsSince(start);
  r.gridValues = field.values();
  r.evaluations = field.values() + field.samples();
  r.triangles =
      static_cast<int64_t>(mesh.positive.triangles.size() + mesh.negative.triangles.size());

  start = Clock::now();
  const ConversionOutcome written =
      writeMeshOutput(settings, mesh, calculation.atoms, std::stop_token{}, [](int) {});
  if (!written.succeeded()) return r;
  r.write = secondsSince(start);
  r.ok = true;
  return r;
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs `work` in a child process and returns what it returned, with the child's peak memory.
template <class Work>
Result inChild(const Work& work) {
  int channel[2];
  if (pipe(channel) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    const double cpuStart = cpuSeconds();
    Result result = work();
    result.cpu = cpuSeconds() - cpuStart;
    result.peakKilobytes = peakKilobytes();
    if (write(channel[1], &result, sizeof result) != sizeof result) _exit(1);
    _exit(0);
  }
  Result result;
  if (read(channel[0], &result, sizeof result) != sizeof result) result.ok = false;
  waitpid(child, nullptr, 0);
  close(channel[0]);
  close(channel[1]);
  return result;
}

template <class Work>
Result bestOf(int runs, const Work& work) {
  Result best = inChild(work);
  for (int run = 1; run < runs && best.ok; ++run) {
    const Result next = inChild(work);
    if (!next.ok) return next;
    if (next.total() < best.total()) best = next;
  }
  return best;
}

void printCase(const Case& c, const Result& r) {
  if (!r.ok) {
    std::printf("%-34s failed\n", c.name);
    return;
  }
  const double points = static_cast<double>(r.gridPoints);
  char evaluated[16] = "     -";
  if (r.gridValues >= 0) std::snprintf(evaluated, sizeof evaluated, "%6.3f", r.gridValues / points);
  std::printf("%-34s %-7s %7.3f %6.3f %6.3f %6.3f %6.3f %6.3f %6.3f %10lld %s %7.3f %9lld %7.1f\n",
              c.name, c.model == OrbitalModel::classic ? "classic" : "exact", r.total(), r.cpu,
              r.read, r.orbital, r.box, r.surface, r.write, static_cast<long long>(r.gridPoints),
              evaluated, r.evaluations / points, static_cast<long long>(r.triangles),
              r.peakKilobytes / 1024.0);
  std::fflush(stdout);
}

// One MO de-orthogonalised over the synthetic overlap matrix, with `busyThreads` threads spinning
// meanwhile.
Result deorthogonaliseOnce(std::size_t aoCount, int busyThreads) {
  const SymmetricMatrix overlap = syntheticOverlap(aoCount);
  const std::vector<double> mo = randomCoefficients(aoCount);
  std::atomic<bool> done{false};
  std::vector<std::thread> busy;
  for (int t = 0; t < busyThreads; ++t) {
    busy.emplace_back([&done] {
      volatile double x = 1.0;
      while (!done.load(std::memory_order_relaxed)) x = x * 1.0000001;
    });
  }
  Result r;
  r.aos = static_cast<int>(aoCount);
  const auto start = Clock::now();
  const AoCoefficients d = deorthogonalise(overlap, mo);
  r.orbital = secondsSince(start);
  done = true;
  for (std::thread& thread : busy) thread.join();
  r.ok = d.error.empty();
  return r;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  const int runs = argc == 3 ? std::atoi(argv[2]) : 3;
  if (argc < 2 || argc > 3 || runs < 1) {
    std::fprintf(stderr, "usage: model_bench DATA_DIR [RUNS, default 3]\n");
    return 2;
  }
  const std::string dataDir = argv[1];
  char folder[] = "/tmp/lobewright-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;

  const Case cases[] = {
      {"cholesterol PM3 .out, HOMO -> .pov", "cholesterol_PM3.out", OrbitalModel::classic,
       OutputKind::PovRay, ".pov"},
      {"cholesterol PM7 .aux, HOMO -> .glb", "cholesterol_PM7.aux", OrbitalModel::exact,
       OutputKind::Gltf, ".glb"},
      {"cholesterol PM3 .out, HOMO -> .glb", "cholesterol_PM3.out", OrbitalModel::exact,
       OutputKind::Gltf, ".glb"},
      {"Ala14 PM7 .aux, HOMO -> .glb", "polyalanine_PM7.aux", OrbitalModel::exact, OutputKind::Gltf,
       ".glb"},
  };
  std::printf("scale 8, %d threads, best of %d; seconds\n", defaultThreadCount(), runs);
  std::printf("%-34s %-7s %7s %6s %6s %6s %6s %6s %6s %10s %6s %7s %9s %7s\n", "case", "model",
              "total", "cpu", "read", "S^-1/2", "box", "mesh", "write", "grid pts", "values",
              "evals", "triangles", "peak MB");
  for (const Case& c : cases) {
    const std::string input = dataDir + "/" + c.file;
    const int homo = homoOf(input, c.model);
    const std::string output = std::string(folder) + "/out" + c.extension;
    const ConversionRequest request = requestFor(input, c, output, homo);
    const Result r = bestOf(runs, [&] {
      return c.model == OrbitalModel::classic ? runClassic(request) : runExact(request);
    });
    printCase(c, r);
    std::filesystem::remove(output);
  }
  std::printf(
      "(values: grid points evaluated / grid points; evals: all evaluations / grid "
      "points; for the classic model the sweep's time includes the writing)\n\n");

  constexpr std::size_t kAoCount = 2500;
  for (const int busy : {0, 1}) {
    const Result r = bestOf(runs, [&] { return deorthogonaliseOnce(kAoCount, busy); });
    std::printf("one MO over %zu AOs, S^-1/2 c by Lanczos%s: %.3f s, peak %.1f MB%s\n", kAoCount,
                busy ? ", another core busy" : "", r.orbital, r.peakKilobytes / 1024.0,
                r.ok ? "" : " (failed)");
  }
  std::filesystem::remove_all(folder);
  return 0;
}
