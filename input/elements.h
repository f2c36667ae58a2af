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

// The electrons MOPAC's methods give an atom of the element (its core charge): the valence
// shell's s and p electrons, with the d electrons of the transition metals up to group 11 (Zn, Cd
// and Hg have 2). Nothing for the lanthanides and beyond, where methods differ.
[[nodiscard]] std::optional<int> valenceElectrons(int atomicNumber);

// Single-bond covalent radius in Angstrom (Cordero et al., Dalton Trans. 2008, 2832; sp3 carbon,
// low-spin Mn, Fe and Co); 1.5 outside the table.
[[nodiscard]] double covalentRadius(int atomicNumber);

}  // namespace lobewright
