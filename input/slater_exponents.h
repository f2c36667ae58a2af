#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace lobewright
