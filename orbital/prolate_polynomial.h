#pragma once

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace lobewright {

// A polynomial in the prolate spheroidal coordinates xi and eta: c[i][j] xi^i eta^j.
class ProlatePolynomial {
 public:
  ProlatePolynomial(int xiDegree, int etaDegree)
      : m_xiDegree(xiDegree),
        m_etaDegree(etaDegree),
        m_c(static_cast<std::size_t>((xiDegree + 1) * (etaDegree + 1)), 0.0) {}

  static ProlatePolynomial constant(double value) {
    ProlatePolynomial p(0, 0);
    p.at(0, 0) = value;
    return p;
  }
  // The sum of c xi^i eta^j over {{i, j, c}, ...}.
  static ProlatePolynomial terms(std::initializer_list<std::array<double, 3>> list) {
    int xi = 0;
    int eta = 0;
    for (const auto& term : list) {
      xi = std::max(xi, static_cast<int>(term[0]));
      eta = std::max(eta, static_cast<int>(term[1]));
    }
    ProlatePolynomial p(xi, eta);
    for (const auto& term : list)
      p.at(static_cast<int>(term[0]), static_cast<int>(term[1])) += term[2];
    return p;
  }

  [[nodiscard]] int xiDegree() const { return m_xiDegree; }
  [[nodiscard]] int etaDegree() const { return m_etaDegree; }
  [[nodiscard]] double at(int i, int j) const { return m_c[index(i, j)]; }
  double& at(int i, int j) { return m_c[index(i, j)]; }

  friend ProlatePolynomial operator*(const ProlatePolynomial& a, const ProlatePolynomial& b) {
    ProlatePolynomial p(a.m_xiDegree + b.m_xiDegree, a.m_etaDegree + b.m_etaDegree);
    for (int i = 0; i <= a.m_xiDegree; ++i) {
      for (int j = 0; j <= a.m_etaDegree; ++j) {
        const double c = a.at(i, j);
        if (c == 0.0) continue;
        for (int k = 0; k <= b.m_xiDegree; ++k) {
          for (int l = 0; l <= b.m_etaDegree; ++l) p.at(i + k, j + l) += c * b.at(k, l);
        }
      }
    }
    return p;
  }

  friend ProlatePolynomial operator-(const ProlatePolynomial& a, const ProlatePolynomial& b) {
    ProlatePolynomial p(std::max(a.m_xiDegree, b.m_xiDegree),
                        std::max(a.m_etaDegree, b.m_etaDegree));
    for (int i = 0; i <= p.m_xiDegree; ++i) {
      for (int j = 0; j <= p.m_etaDegree; ++j) {
        const double left = i <= a.m_xiDegree && j <= a.m_etaDegree ? a.at(i, j) : 0.0;
        const double right = i <= b.m_xiDegree && j <= b.m_etaDegree ? b.at(i, j) : 0.0;
        p.at(i, j) = left - right;
      }
    }
    return p;
  }

  [[nodiscard]] ProlatePolynomial power(int exponent) const {
    ProlatePolynomial p = constant(1.0);
    for (int i = 0; i < exponent; ++i) p = p * *this;
    return p;
  }

 private:
  [[nodiscard]] std::size_t index(int i, int j) const {
    return static_cast<std::size_t>(i * (m_etaDegree + 1) + j);
  }

  int m_xiDegree;
  int m_etaDegree;
  std::vector<double> m_c;
};

}  // namespace lobewright
