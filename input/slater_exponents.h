#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/calculation.h"

namespace lobewright {

// One shell of an atom's Slater functions: principal quantum number and exponent (bohr^-1).
struct SlaterShell {
  int n = 0;
  double zeta = 0.0;
};

// The shells a method gives an element, as MOPAC 22 reports them in its .aux files (quirks
// included: n + 1 for the s shell of the noble gases, p functions on helium).
struct ShellExponents {
  SlaterShell s;
  std::optional<SlaterShell> p;
  std::optional<SlaterShell> d;
};

// The method whose rows of the table a method uses: itself, or the method whose exponents it
// shares (PM6-D3, PM6-DH+, PM6-D3H4... use PM6's). Nothing for a method the table does not know.
// Names are taken in any case, as MOPAC takes its keywords.
[[nodiscard]] std::optional<std::string> exponentTableMethod(std::string_view method);

// The shells of an element ("C", "Cl"; any case) in a method; nothing when the table lacks the
// method or the element in it.
[[nodiscard]] std::optional<ShellExponents> slaterExponents(std::string_view method,
                                                            std::string_view symbol);

// The shell of angular momentum l (0, 1, 2), or nothing when the element has none.
[[nodiscard]] std::optional<SlaterShell> shellOf(const ShellExponents& shells, int l);

// Appends the functions of a shell in MOPAC's order: S; PX, PY, PZ; X2, XZ, Z2, YZ, XY.
void appendShell(std::vector<BasisFunction>& basis, int atom, int l, const SlaterShell& shell);

}  // namespace lobewright
