#include "orbital/classic_orbital.h"

#include <cstddef>

namespace lobewright {

ClassicOrbital::ClassicOrbital(const ClassicCalculation& calculation,
                               const std::vector<AtomCoefficients>& mo, int scale, float cutoff)
    : m_scale(static_cast<float>(scale)) {
  const float cutoffInGrid = cutoff * m_scale;
  m_cutoffSquared = cutoffInGrid * cutoffInGrid;
  const Pm3ParameterSet& table = calculation.parameters;
  for (std::size_t i = 0; i < calculation.atoms.size() && i < mo.size(); ++i) {
    const ClassicAtom& atom = calculation.atoms[i];
    const int e = atom.element;
    // Only the two-shell functions carry a power of the distance that the scale changes.
    const bool twoShells = table.shellType[e] == 2;
    m_atoms.push_back(
        {atom.position.x * m_scale, atom.position.y * m_scale, atom.position.z * m_scale, mo[i].s,
         mo[i].px, mo[i].py, mo[i].pz, table.zetaS[e] / m_scale, table.zetaP[e] / m_scale,
         twoShells ? table.normS[e] / m_scale : table.normS[e],
         twoShells ? table.normP[e] / m_scale : table.normP[e], table.shellType[e] == 1});
  }
}

}  // namespace lobewright
