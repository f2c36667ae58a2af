#pragma once

#include <cstddef>
#include <vector>

namespace lobewright {

// A symmetric matrix kept as its lower triangle, row by row: (0,0), (1,0), (1,1), (2,0), ...
// This is the order in which MOPAC writes its overlap and inverse-square-root matrices.
class SymmetricMatrix {
 public:
  SymmetricMatrix() = default;
  explicit SymmetricMatrix(std::size_t size) : m_size(size), m_lower(size * (size + 1) / 2) {}

  [[nodiscard]] std::size_t size() const { return m_size; }
  [[nodiscard]] bool empty() const { return m_size == 0; }

  [[nodiscard]] double operator()(std::size_t i, std::size_t j) const { return m_lower[at(i, j)]; }
  double& operator()(std::size_t i, std::size_t j) { return m_lower[at(i, j)]; }

  // The triangle in file order, for readers that fill it element by element.
  [[nodiscard]] std::vector<double>& lowerTriangle() { return m_lower; }
  [[nodiscard]] const std::vector<double>& lowerTriangle() const { return m_lower; }

 private:
  [[nodiscard]] static std::size_t at(std::size_t i, std::size_t j) {
    return i >= j ? i * (i + 1) / 2 + j : j * (j + 1) / 2 + i;
  }

  std::size_t m_size = 0;
  std::vector<double> m_lower;
};

}  // namespace lobewright
