#pragma once

#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "input/calculation.h"
#include "orbital/field.h"

namespace lobewright {

// What the share a surface encloses is a share of: psi^2 for an MO, the electrons for a density
// of electrons, |rho| for the fields of both signs made of densities.
enum class EnclosedQuantity { psiSquared, electrons, magnitude };

// The quantity of the field the settings draw: psi^2 for an MO or a difference of MOs.
[[nodiscard]] EnclosedQuantity enclosedQuantity(const FieldSettings& field);

// The grid the share is found on: the atoms' extent and this margin, at this spacing or, for a
// large box, as fine as this many points allow.
inline constexpr double kEnclosingMargin = 4.0;   // Angstrom
inline constexpr double kEnclosingSpacing = 0.1;  // Angstrom
inline constexpr double kMostEnclosingPoints = 4e6;

struct EnclosingSurface {
  float isovalue = 0.0f;
  // "|psi| = 0.04231 encloses 85 % of psi^2": for --info and a picture's caption.
  std::string sentence;
  std::string error;  // why no surface encloses the share, for the user
};

// The isovalue whose surface encloses `fraction` (0 to 1) of the field's quantity, found from the
// field's values on a grid around the atoms.
[[nodiscard]] EnclosingSurface findEnclosingSurface(const Field& field,
                                                    const std::vector<CalculationAtom>& atoms,
                                                    double fraction, EnclosedQuantity quantity,
                                                    int threads);

}  // namespace lobewright
