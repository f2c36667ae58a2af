#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "input/calculation.h"

namespace lobewright {

// Where a chosen MO stands in Calculation::orbitals, or why it cannot be had.
struct OrbitalFound {
  std::optional<std::size_t> index;
  std::string error;  // for the user; meaningful when index is empty
};

// The spin set that serves a request: a restricted (RHF) file's MOs serve a request for alpha,
// and a spin-resolved file's alpha set serves a request without a spin. A request for beta in
// a restricted file stays beta, and finds nothing.
[[nodiscard]] Spin servingSpin(const Calculation& calculation, Spin requested);

// MO `number` (from 1) of the given spin.
[[nodiscard]] OrbitalFound findOrbital(const Calculation& calculation, int number, Spin spin);

// The numbers of the HOMO and the LUMO in one spin set. The HOMO is the highest MO that holds
// electrons, however few (a singly or fractionally occupied MO counts); the LUMO is the MO
// after it. When the file keeps only some MOs and they do not show where the occupied ones end,
// the electron count places the HOMO, filling MOs in order.
struct FrontierOrbitals {
  int homo = 0;       // 0: the set holds no electrons
  int lumo = 0;       // 0: every MO is occupied
  std::string error;  // why they cannot be placed; empty when they can
};
[[nodiscard]] FrontierOrbitals frontierOrbitals(const Calculation& calculation, Spin spin);

[[nodiscard]] OrbitalFound findHomo(const Calculation& calculation, Spin spin);
[[nodiscard]] OrbitalFound findLumo(const Calculation& calculation, Spin spin);

}  // namespace lobewright
