#include "app/enclosed_surface.h"

#include <algorithm>
#include <cmath>

#include "input/number_text.h"
#include "mesh/enclosed_isovalue.h"

namespace lobewright {

EnclosedQuantity enclosedQuantity(const FieldSettings& field) {
  if (field.kind == FieldKind::mo && field.fukui == FukuiKind::none) {
    return EnclosedQuantity::psiSquared;
  }
  return field.isSigned() ? EnclosedQuantity::magnitude : EnclosedQuantity::electrons;
}

EnclosingSurface findEnclosingSurface(const Field& field, const std::vector<CalculationAtom>& atoms,
                                      double fraction, EnclosedQuantity quantity, int threads) {
  const AtomExtent extent = atomExtent(atoms);
  const Vec3 margin{kEnclosingMargin, kEnclosingMargin, kEnclosingMargin};
  IsovalueGrid grid{extent.low - margin, extent.high + margin, kEnclosingSpacing, threads};
  const Vec3 size = grid.high - grid.low;
  const double volume = size.x * size.y * size.z;
  if (!std::isfinite(volume)) return {0.0f, {}, "the atoms lie too far out for a grid"};
  grid.spacing = std::max(kEnclosingSpacing, std::cbrt(volume / kMostEnclosingPoints));

  const EnclosedIsovalue found = isovalueEnclosing(
      field,
      quantity == EnclosedQuantity::psiSquared ? FieldWeight::square : FieldWeight::magnitude,
      fraction, grid);
  const auto isovalue = static_cast<float>(found.isovalue);
  if (!(isovalue > 0.0f)) {
    return {0.0f, {}, "no surface encloses " + printedNumber("%g", fraction * 100.0) + " % of it"};
  }
  const std::string value = printedNumber("%.4g", isovalue);
  const std::string share = printedNumber("%g", fraction * 100.0) + " %";
  switch (quantity) {
    case EnclosedQuantity::psiSquared:
      return {isovalue, "|psi| = " + value + " encloses " + share + " of psi^2", {}};
    case EnclosedQuantity::electrons:
      return {isovalue, "rho = " + value + " e/bohr^3 encloses " + share + " of the electrons", {}};
    case EnclosedQuantity::magnitude:
      break;
  }
  return {isovalue, "|rho| = " + value + " e/bohr^3 encloses " + share + " of |rho|", {}};
}

}  // namespace lobewright
