#include "mesh/enclosed_isovalue.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "mesh/worker_threads.h"

namespace lobewright {
namespace {

// Bins of log |value| below the largest, for finding where the weight reaches the fraction
// without sorting every point: a bin is 1/64 of a factor e, and values more than e^-60 below
// the largest count for nothing.
constexpr int kBinsPerE = 64;
constexpr int kBins = 60 * kBinsPerE;

double weightOf(double magnitude, FieldWeight weight) {
  return weight == FieldWeight::square ? magnitude * magnitude : magnitude;
}

int pointsAlong(double low, double high, double spacing) {
  return std::max(1, static_cast<int>(std::ceil((high - low) / spacing)));
}

}  // namespace

EnclosedIsovalue isovalueEnclosing(const Field& field, FieldWeight weight, double fraction,
                                   const IsovalueGrid& grid) {
  const double h = grid.spacing;
  const int nx = pointsAlong(grid.low.x, grid.high.x, h);
  const int ny = pointsAlong(grid.low.y, grid.high.y, h);
  const int nz = pointsAlong(grid.low.z, grid.high.z, h);
  const std::size_t plane = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
  std::vector<float> magnitudes(plane * static_cast<std::size_t>(nz));

  std::atomic<int> nextPlane{0};
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failureLock;
  const std::function<void()> work = [&] {
    try {
      std::vector<Vec3> row(static_cast<std::size_t>(nx));
      std::vector<double> values(row.size());
      for (int k = nextPlane++; k < nz && !failed; k = nextPlane++) {
        for (int j = 0; j < ny; ++j) {
          for (int i = 0; i < nx; ++i) {
            row[static_cast<std::size_t>(i)] = {
                grid.low.x + (i + 0.5) * h, grid.low.y + (j + 0.5) * h, grid.low.z + (k + 0.5) * h};
          }
          field.valuesAt(row, values);
          float* out = magnitudes.data() + static_cast<std::size_t>(k) * plane +
                       static_cast<std::size_t>(j) * static_cast<std::size_t>(nx);
          for (int i = 0; i < nx; ++i) {
            out[i] = static_cast<float>(std::fabs(values[static_cast<std::size_t>(i)]));
          }
        }
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
      failed = true;
    }
  };
  {
    WorkerThreads workers(std::max(1, grid.threads) - 1, work,
                          [&](std::exception_ptr) { failed = true; });
    work();
    workers.join();
  }
  if (failure) std::rethrow_exception(failure);

  EnclosedIsovalue result;
  float largest = 0.0f;
  for (const float m : magnitudes) largest = std::max(largest, std::isfinite(m) ? m : 0.0f);
  if (!(largest > 0.0f)) return result;

  // The weight in each bin of log |value|, from the largest value down.
  const double logLargest = std::log(static_cast<double>(largest));
  const auto binOf = [&](float m) {
    return static_cast<int>(
        std::floor((logLargest - std::log(static_cast<double>(m))) * kBinsPerE));
  };
  std::vector<double> binWeights(kBins, 0.0);
  double total = 0.0;
  for (const float m : magnitudes) {
    if (!(m > 0.0f) || !std::isfinite(m)) continue;
    const double w = weightOf(m, weight);
    total += w;
    const int bin = binOf(m);
    if (bin < kBins) binWeights[static_cast<std::size_t>(bin)] += w;
  }
  const double target = std::clamp(fraction, 0.0, 1.0) * total;
  double before = 0.0;
  int crossing = 0;
  while (crossing < kBins - 1 && before + binWeights[static_cast<std::size_t>(crossing)] < target) {
    before += binWeights[static_cast<std::size_t>(crossing++)];
  }
  // Within the crossing bin, the values one by one from the largest.
  std::vector<float> inBin;
  for (const float m : magnitudes) {
    if (m > 0.0f && std::isfinite(m) && binOf(m) == crossing) inBin.push_back(m);
  }
  std::sort(inBin.begin(), inBin.end(), std::greater<>());
  double enclosed = before;
  result.isovalue = inBin.empty() ? 0.0 : inBin.back();
  for (const float m : inBin) {
    enclosed += weightOf(m, weight);
    if (enclosed >= target) {
      result.isovalue = m;
      break;
    }
  }
  result.enclosed = enclosed / total;
  result.total = total * h * h * h;
  return result;
}

}  // namespace lobewright
