#include "input/molecule.h"

namespace lobewright {

Molecule::Molecule(const std::string& parameterFile, MessageSink& messages)
    : parameters(loadParameters(parameterFile, messages)), m_messages(&messages) {}

void Molecule::setScale(float scale) {
  gridScale = scale;
  for (int i = 0; i < atomCount; ++i) {
    atomX[i] = atomX[i] * scale;
    atomY[i] = atomY[i] * scale;
    atomZ[i] = atomZ[i] * scale;
  }
  cutoffSquared = (scale * scale) * cutoffSquared;
  for (int e = 0; e < parameters.elementCount; ++e) {
    parameters.zetaS[e] = parameters.zetaS[e] / scale;
    parameters.zetaP[e] = parameters.zetaP[e] / scale;
    // Only the two-shell functions carry a power of the distance that the scale changes.
    if (parameters.shellType[e] == 2) {
      parameters.normS[e] = parameters.normS[e] / scale;
      parameters.normP[e] = parameters.normP[e] / scale;
    }
  }
}

void Molecule::setCutoff(float cutoff) {
  const float t = cutoff * gridScale;
  cutoffSquared = t * t;
}

AtomOrbital Molecule::atomOrbital(int16_t atom) const {
  const int e = atomElement[atom];
  return {atomX[atom],         atomY[atom],         atomZ[atom],
          coefS[atom],         coefPx[atom],        coefPy[atom],
          coefPz[atom],        parameters.zetaS[e], parameters.zetaP[e],
          parameters.normS[e], parameters.normP[e], parameters.shellType[e] == 1};
}

float Molecule::valueAt(float x, float y, float z) const {
  float sum = 0.0f;
  for (int16_t i = 0; i < atomCount; ++i) {
    sum = addAtomShare(atomOrbital(i), x, y, z, cutoffSquared, sum);
  }
  return sum;
}

Point Molecule::atomPosition(int16_t atom) const { return {atomX[atom], atomY[atom], atomZ[atom]}; }

}  // namespace lobewright
