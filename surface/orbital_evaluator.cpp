#include <cmath>

#include "input/molecule.h"

namespace lobewright {

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

float Molecule::valueAt(float x, float y, float z) const {
  float sum = 0.0f;
  for (int i = 0; i < atomCount; ++i) {
    const float dx = x - atomX[i];
    const float dy = y - atomY[i];
    const float dz = z - atomZ[i];
    const float d2 = (dx * dx + dy * dy) + dz * dz;
    if (d2 >= cutoffSquared) continue;
    const float r = std::sqrt(d2);
    const int e = atomElement[i];
    const double zetaS = parameters.zetaS[e];
    const double normS = parameters.normS[e];
    if (parameters.shellType[e] == 1) {
      sum = static_cast<float>(static_cast<double>(sum) +
                               (std::exp(-(zetaS * r)) * static_cast<double>(coefS[i])) * normS);
      continue;
    }
    const double normP = parameters.normP[e];
    const double es = std::exp(-(zetaS * r));
    const double ep = std::exp(-(static_cast<double>(parameters.zetaP[e]) * r));
    sum = static_cast<float>(static_cast<double>(sum) +
                             ((static_cast<double>(coefS[i]) * normS) * r * es));
    sum = static_cast<float>(static_cast<double>(sum) +
                             ((static_cast<double>(coefPx[i]) * normP) * dx * ep));
    sum = static_cast<float>(static_cast<double>(sum) +
                             ((static_cast<double>(coefPy[i]) * normP) * dy * ep));
    sum = static_cast<float>(static_cast<double>(sum) +
                             ((static_cast<double>(coefPz[i]) * normP) * dz * ep));
  }
  return sum;
}

Point Molecule::atomPosition(int16_t atom) const { return {atomX[atom], atomY[atom], atomZ[atom]}; }

}  // namespace lobewright
