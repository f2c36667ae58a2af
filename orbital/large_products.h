#pragma once

#include <Eigen/Core>
#include <algorithm>
#include <future>
#include <vector>

#include "input/symmetric_matrix.h"

namespace lobewright {

// The large matrix products of the exact model: S^-1/2 and the density matrices.
//
// Eigen cuts the inner dimension of a large product into blocks sized to the processor's L1
// cache and adds the blocks' sums in turn, so the last digits of S^-1/2 and of a density matrix
// over 400 or so AOs would depend on the processor (32 KiB of L1 on most x86-64 chips, 48 KiB on
// recent Intel ones). Every large product of the exact model is preceded by this call, which
// gives them all the same blocks; Eigen's L2 and L3 sizes, which only order the work, stay the
// processor's own.
void fixProductBlocking();

// The whole matrix of a packed symmetric one, for the products.
[[nodiscard]] Eigen::MatrixXd fullMatrix(const SymmetricMatrix& packed);

// a b, its columns shared among the threads. Each column is summed as the whole product sums it
// (the threads' shares are whole multiples of Eigen's widest column panel), so the result is the
// same to the bit on any number of threads. a is a plain matrix, which every thread reads where it
// stands: an expression would be worked out by each of them.
template <class Right>
[[nodiscard]] Eigen::MatrixXd productOf(const Eigen::MatrixXd& a, const Eigen::MatrixBase<Right>& b,
                                        int threads) {
  constexpr Eigen::Index kPanel = 8;
  fixProductBlocking();
  Eigen::MatrixXd result(a.rows(), b.cols());
  const Eigen::Index columns = b.cols();
  const Eigen::Index share = columns / std::max(threads, 1) / kPanel * kPanel;
  const auto work = [&](Eigen::Index first, Eigen::Index count) {
    result.middleCols(first, count).noalias() = a * b.middleCols(first, count);
  };
  std::vector<std::future<void>> tasks;
  Eigen::Index first = 0;
  if (share > 0) {
    for (int t = 1; t < threads; ++t, first += share) {
      // The library runs a task on this thread when the system has no thread to spare for it.
      tasks.push_back(std::async(std::launch::async | std::launch::deferred, work, first, share));
    }
  }
  work(first, columns - first);
  for (std::future<void>& task : tasks) task.get();
  return result;
}

}  // namespace lobewright
