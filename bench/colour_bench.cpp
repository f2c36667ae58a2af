// Times coloured surfaces stage by stage, as a conversion runs them on all cores: the density's
// surface at 0.002 e/bohr^3 and scale 8, then the colouring field, its values at every vertex with
// the colours, and the .glb written. Each case runs RUNS times (default 10) and the fastest is
// kept; a colouring this build does not have is left out.
//
//   colour_bench INPUT.aux... [--runs N]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/colouring_field.h"
#include "app/field_build.h"
#include "app/mesh_output.h"
#include "app/surface_conversion.h"
#include "app/vertex_colouring.h"
#include "bench_support.h"
#include "mesh/watertight_mesher.h"

namespace lobewright {
namespace {

struct Result {
  bool ok = false;
  double read = 0;
  double surface = 0;  // the density field, its box and its mesh
  double colouringField = 0;
  double colours = 0;  // the values at the vertices and their colours
  double write = 0;
  double cpu = 0;
  std::size_t vertices = 0;
  [[nodiscard]] double total() const { return read + surface + colouringField + colours + write; }
};

ConversionRequest requestFor(const std::string& input, const std::string& colourBy,
                             const std::string& output) {
  ConversionRequest request;
  request.inputFile = input;
  ConversionSettings& settings = request.settings;
  settings.field.kind = FieldKind::density;
  settings.threshold = 0.002f;
  settings.scale = 8;
  settings.outputKind = OutputKind::Gltf;
  settings.outputPath = output;
  std::string error;
  if (!colourBy.empty()) settings.colouring.source = parseColourSource(colourBy, error);
  request.sweep = {SweepEngine::fast, defaultThreadCount()};
  return request;
}

Result runOnce(const ConversionRequest& request) {
  Result r;
  SilentSink sink;
  const double cpuStart = cpuSeconds();
  auto start = Clock::now();
  InputLoad load = loadInput(request, sink);
  if (!load.input) return r;
  r.read = secondsSince(start);

  start = Clock::now();
  const BuiltField built = buildField(*load.input, request);
  if (!built.field) return r;
  const ConversionSettings& settings = request.settings;
  const std::optional<GridBox> box =
      surfaceBoxAround(*built.field, load.input->exact->atoms, settings);
  if (!box) return r;
  const int threads = request.sweep.threads;
  const OrbitalMesh mesh = meshIsosurface(*built.field, settings.threshold, settings.scale, *box,
                                          {[](int) {}, std::stop_token{}, threads});
  r.surface = secondsSince(start);
  r.vertices = mesh.positive.positions.size() + mesh.negative.positions.size();

  std::optional<SurfaceColouring> colours;
  if (settings.colouring.source) {
    start = Clock::now();
    const ColouringField colouring = buildColouringField(*load.input, request);
    if (!colouring.field) return r;
    r.colouringField = secondsSince(start);
    start = Clock::now();
    colours = colourVertices(valuesAtVertices(*colouring.field, mesh, threads, {}),
                             settings.colouring, colouring.title, colouring.units);
    r.colours = secondsSince(start);
  }

  start = Clock::now();
  const ConversionOutcome written =
      writeMeshOutput(settings, mesh, load.input->exact->atoms, std::stop_token{}, [](int) {},
                      {{}, colours ? &*colours : nullptr, {}});
  if (!written.succeeded()) return r;
  r.write = secondsSince(start);
  r.cpu = cpuSeconds() - cpuStart;
  r.ok = true;
  return r;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  std::vector<std::string> inputs;
  int runs = 10;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      inputs.push_back(argument);
    }
  }
  if (inputs.empty() || runs < 1) {
    std::fprintf(stderr, "usage: colour_bench INPUT.aux... [--runs N, default 10]\n");
    return 2;
  }
  const std::string output =
      (std::filesystem::temp_directory_path() / "lobewright-colour-bench.glb").string();
  std::printf("density at 0.002 e/bohr^3, scale 8, %d threads, .glb, best of %d; seconds\n",
              defaultThreadCount(), runs);
  std::printf("%-24s %-10s %7s %6s %6s %8s %7s %7s %6s %9s\n", "input", "colour by", "total", "cpu",
              "read", "surface", "field", "colours", "write", "vertices");
  for (const std::string& input : inputs) {
    for (const char* colourBy : {"", "density", "spin", "mo:HOMO", "esp"}) {
      const ConversionRequest request = requestFor(input, colourBy, output);
      Result best;
      for (int run = 0; run < runs; ++run) {
        const Result next = runOnce(request);
        if (!next.ok) break;
        if (!best.ok || next.total() < best.total()) best = next;
      }
      const std::string name = std::filesystem::path(input).filename().string();
      if (!best.ok) {
        std::printf("%-24s %-10s failed\n", name.c_str(), *colourBy ? colourBy : "-");
        continue;
      }
      std::printf("%-24s %-10s %7.3f %6.3f %6.3f %8.3f %7.3f %7.3f %6.3f %9zu\n", name.c_str(),
                  *colourBy ? colourBy : "-", best.total(), best.cpu, best.read, best.surface,
                  best.colouringField, best.colours, best.write, best.vertices);
      std::fflush(stdout);
    }
  }
  std::filesystem::remove(output);
  return 0;
}
