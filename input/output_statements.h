#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/calculation.h"

namespace lobewright {

// What the lines of a MOPAC output say about the method and the electrons, taken line by line:
// the "<METHOD> CALCULATION RESULTS" heading, the keyword echo (" *  PM7  - The PM7
// Hamiltonian...", " *  OPEN(M,N)  - THERE ARE 2 ELECTRONS IN 2 LEVELS", " *  MOZYME ..."),
// and the counts of levels and electrons ("DOUBLY OCCUPIED LEVELS = 13", "NO. OF FILLED LEVELS
// = 13", "SINGLY OCCUPIED LEVELS = 2", "LEVELS WITH OCCUPANCY 1.333 = 3", "NO. OF ALPHA
// ELECTRONS = 4"). The first statement of each kind counts.
class OutputStatements {
 public:
  void see(const std::vector<std::string_view>& words);

  // The heading's method, else the one the keyword echo names; empty when neither does.
  [[nodiscard]] std::string method() const;
  // A MOZYME run, or one that prints localized orbitals.
  [[nodiscard]] bool mozyme() const { return m_mozyme; }

  // MO `number` (from 1) of a spin set: 2 up to the doubly occupied levels, then M/N for the
  // open levels of OPEN(M,N) (the stated share, or 1, without the keyword), then 0; in a UHF
  // run 1 up to the set's number of electrons. Nothing when the output states no count.
  [[nodiscard]] std::optional<double> occupancy(int number, Spin spin) const;
  // The electrons of a spin set, or of the whole calculation (Spin::none), as the counts state
  // them: exactly those occupancy() places. Nothing when the output states no count, or when its
  // open levels' shares add up to no whole number of electrons.
  [[nodiscard]] std::optional<int> electrons(Spin spin) const;
  // Why occupancy() gave nothing, for the user.
  [[nodiscard]] static std::string missingCount(Spin spin);
  // Why the counts of levels and electrons cannot hold for a molecule of `moCount` MOs (more
  // levels or electrons of a spin than it has MOs, open levels of more than 2 electrons), or
  // nothing when they can.
  [[nodiscard]] std::optional<std::string> countsBeyond(int moCount) const;

  // The errors MOPAC 22 lists in its closing box ("Error and normal termination messages
  // reported in this calculation"), its words as printed; "JOB ENDED NORMALLY" is none.
  [[nodiscard]] const std::vector<std::string>& errors() const { return m_errors; }

 private:
  void seeClosingBox(const std::vector<std::string_view>& words);

  void seeKeywordEcho(const std::vector<std::string_view>& words);
  void seeCounts(const std::vector<std::string_view>& words);
  [[nodiscard]] std::optional<int> doublyOccupied() const { return m_doubly ? m_doubly : m_filled; }
  [[nodiscard]] double openShare() const;

  std::string m_headingMethod;
  std::string m_echoMethod;
  bool m_mozyme = false;
  std::optional<int> m_doubly;
  std::optional<int> m_filled;
  std::optional<int> m_open;
  std::optional<double> m_openShare;
  std::optional<std::pair<int, int>> m_openKeyword;  // M electrons in N levels
  std::optional<int> m_alpha;
  std::optional<int> m_beta;
  bool m_inClosingBox = false;
  std::vector<std::string> m_errors;
};

}  // namespace lobewright
