#pragma once

#include "input/molecule.h"

namespace lobewright::testing {

// Places an atom by hand, as if it had been read, with the MO's coefficients on its functions.
inline void addAtom(Molecule& molecule, const char* symbol, Point at, float s, float px = 0,
                    float py = 0, float pz = 0) {
  const int i = molecule.atomCount++;
  molecule.atomElement[i] = molecule.parameters.find(symbol);
  molecule.atomX[i] = at.x;
  molecule.atomY[i] = at.y;
  molecule.atomZ[i] = at.z;
  molecule.coefS[i] = s;
  molecule.coefPx[i] = px;
  molecule.coefPy[i] = py;
  molecule.coefPz[i] = pz;
}

}  // namespace lobewright::testing
