// Times whole conversions of real samples with the literal and the fast sweep: wall time,
// evaluations of the orbital, triangles and peak memory, one configuration per child process
// so that each peak is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/classic_scene.h"
#include "app/conversion_settings.h"
#include "app/grid_extent.h"
#include "bench_support.h"
#include "classic_sample.h"

namespace lobewright {
namespace {

struct Configuration {
  std::string sample;
  int scale;
  OutputKind kind;
  SweepOptions sweep;
};

struct Result {
  double seconds = 0;
  double cpuSeconds = 0;
  SweepCounters counters;
  long peakKilobytes = 0;
};

// Reads, scales and writes one scene to /dev/null, as the conversion run does.
Result convert(const std::string& dataDir, const Configuration& c) {
  const bench::ClassicSample sample = bench::readClassicHomo(dataDir, c.sample);
  ConversionSettings settings;
  settings.scale = c.scale;
  settings.outputKind = c.kind;
  const ClassicOrbital orbital(sample.calculation, sample.homo, settings.scale, settings.cutoff);
  std::ofstream out("/dev/null", std::ios::binary);
  const GridBounds bounds = computeGridBounds(orbital, settings.scale);
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  Result result;
  const auto ignore = [](int) {};
  result.counters =
      writeClassicScene(out, c.kind, orbital, classicSceneAtoms(sample.calculation, settings.scale),
                        sceneOptions(settings), bounds, ignore, c.sweep);
  out.flush();
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.cpuSeconds = cpuSeconds() - cpuStart;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  result.peakKilobytes = usage.ru_maxrss;
  return result;
}

Result convertOnceInChild(const std::string& dataDir, const Configuration& c) {
  int channel[2];
  if (pipe(channel) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    const Result result = convert(dataDir, c);
    if (write(channel[1], &result, sizeof result) != sizeof result) _exit(1);
    _exit(0);
  }
  Result result;
  if (read(channel[0], &result, sizeof result) != sizeof result) std::exit(1);
  waitpid(child, nullptr, 0);
  close(channel[0]);
  close(channel[1]);
  return result;
}

// The fast runs are short enough for the machine's other work to show in one run: the best of
// five is kept. The literal runs are long and timed once.
Result convertInChild(const std::string& dataDir, const Configuration& c) {
  const int runs = c.sweep.engine == SweepEngine::fast ? 5 : 1;
  Result best = convertOnceInChild(dataDir, c);
  for (int run = 1; run < runs; ++run) {
    const Result next = convertOnceInChild(dataDir, c);
    if (next.seconds < best.seconds) best = next;
  }
  return best;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  if (argc < 2) {
    std::fprintf(stderr, "usage: sweep_bench DATA_DIR [SAMPLE...]\n");
    return 2;
  }
  const std::string dataDir = argv[1];
  std::vector<std::string> samples(argv + 2, argv + argc);
  if (samples.empty()) samples = {"caffeine.mno", "hexadecane.out"};
  std::printf("%-16s %5s %4s %-8s %8s %8s %12s %9s %8s\n", "sample", "scale", "kind", "engine",
              "wall s", "cpu s", "evaluations", "triangles", "peak MB");
  for (const std::string& sample : samples) {
    for (const int scale : {4, 8, 16}) {
      for (const OutputKind kind : {OutputKind::PovRay, OutputKind::LScript}) {
        const std::vector<std::pair<const char*, SweepOptions>> engines = {
            {"literal", {SweepEngine::literal, 1}},
            {"fast x1", {SweepEngine::fast, 1}},
            {"fast x2", {SweepEngine::fast, 2}}};
        for (const auto& [name, sweep] : engines) {
          const Result r = convertInChild(dataDir, {sample, scale, kind, sweep});
          std::printf("%-16s %5d %4s %-8s %8.3f %8.3f %12lld %9lld %8.1f\n", sample.c_str(), scale,
                      kind == OutputKind::PovRay ? "pov" : "ls", name, r.seconds, r.cpuSeconds,
                      static_cast<long long>(r.counters.evaluations),
                      static_cast<long long>(r.counters.triangles), r.peakKilobytes / 1024.0);
          std::fflush(stdout);
        }
      }
    }
  }
  return 0;
}
