#pragma once

#include <optional>
#include <string_view>

namespace lobewright {

// The elements from hydrogen to curium, the range of MOPAC's methods and more.
inline constexpr int kLastElement = 96;

// The atomic number of a symbol written as in the periodic table ("C", "Cl"), or nothing.
[[nodiscard]] std::optional<int> atomicNumber(std::string_view symbol);

// The symbol of an atomic number from 1 to kLastElement; empty outside.
[[nodiscard]] std::string_view elementSymbol(int atomicNumber);

// The charge of the atom's core in MOPAC's methods: the nucleus less the inner electrons, which
// they leave out, so the number of valence electrons of the neutral atom (zinc, cadmium and
// mercury 2, the lanthanides 3); nothing beyond radon.
[[nodiscard]] std::optional<int> mopacCoreCharge(int atomicNumber);

// Single-bond covalent radius in Angstrom (Cordero et al., Dalton Trans. 2008, 2832; sp3 carbon,
// low-spin Mn, Fe and Co); 1.5 outside the table.
[[nodiscard]] double covalentRadius(int atomicNumber);

}  // namespace lobewright
