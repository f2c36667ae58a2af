// Times the window's explorer as a user goes from field to field of one input: the total
// density, the alpha density, the total density again and the beta density, each drawn at
// 0.002 e/bohr^3 on all cores. Each sequence runs RUNS times (default 3) with a new explorer,
// and the fastest time of each step is kept.
//
//   explorer_bench INPUT.aux... [--scale S] [--runs N]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "app/explored_surface.h"
#include "bench_support.h"

namespace lobewright {
namespace {

struct Step {
  const char* name;
  FieldKind kind;
};

constexpr Step kSteps[] = {
    {"total density", FieldKind::density},
    {"alpha density", FieldKind::alpha},
    {"total density again", FieldKind::density},
    {"beta density", FieldKind::beta},
};
constexpr std::size_t kStepCount = std::size(kSteps);

// The fastest time of each step over the runs; empty when a draw failed, with the reason shown.
std::vector<double> bestTimes(const std::string& input, int scale, int runs) {
  std::vector<double> best(kStepCount, std::numeric_limits<double>::infinity());
  for (int run = 0; run < runs; ++run) {
    SurfaceExplorer explorer;
    ConversionRequest request;
    request.inputFile = input;
    request.settings.scale = scale;
    request.settings.threshold = 0.002f;
    for (std::size_t i = 0; i < kStepCount; ++i) {
      request.settings.field.kind = kSteps[i].kind;
      const auto start = Clock::now();
      const ExploredSurface shown = explorer.draw(request, [](int) {});
      const double seconds = secondsSince(start);
      if (!shown.failure.succeeded()) {
        std::fprintf(stderr, "%s: %s\n", input.c_str(), shown.failure.message.c_str());
        return {};
      }
      best[i] = std::min(best[i], seconds);
    }
  }
  return best;
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  std::vector<std::string> inputs;
  int scale = 2;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--scale" || argument == "--runs") && i + 1 < argc) {
      (argument == "--scale" ? scale : runs) = std::max(1, std::atoi(argv[++i]));
    } else {
      inputs.push_back(argument);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: explorer_bench INPUT.aux... [--scale S] [--runs N]\n");
    return 2;
  }
  std::printf("explorer, one field after another at scale %d, best of %d, seconds\n", scale, runs);
  std::printf("%-32s", "input");
  for (const auto& step : kSteps) std::printf("  %20s", step.name);
  std::printf("\n");
  int status = 0;
  for (const std::string& input : inputs) {
    const std::vector<double> best = bestTimes(input, scale, runs);
    if (best.empty()) {
      status = 1;
      continue;
    }
    std::printf("%-32s", std::filesystem::path(input).filename().string().c_str());
    for (const double seconds : best) std::printf("  %20.3f", seconds);
    std::printf("\n");
  }
  return status;
}
