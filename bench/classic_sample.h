#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/homo_lumo_locator.h"
#include "input/classic_calculation.h"

namespace lobewright::bench {

// A sample's HOMO as the classic model reads it, with the parameter table beside the samples;
// the benchmark ends with a message when it cannot be read.
struct ClassicSample {
  ClassicCalculation calculation;
  std::vector<AtomCoefficients> homo;
};

inline ClassicSample readClassicHomo(const std::string& dataDir, const std::string& sample) {
  const std::string input = dataDir + "/" + sample;
  std::ifstream table(dataDir + "/pm3r.txt");
  const std::optional<Pm3ParameterSet> parameters = readParameters(table);
  std::ifstream text(input);
  const std::optional<int32_t> homo = locateFrontierOrbital(text, FrontierOrbital::homo);
  text.clear();
  text.seekg(0);
  ClassicRead read = parameters ? readMopacOutput(text, *parameters) : ClassicRead{};
  const ClassicMoFound found =
      read.calculation && homo ? findClassicMo(*read.calculation, *homo) : ClassicMoFound{};
  if (!found.orbital) {
    std::fprintf(stderr, "cannot read %s\n", input.c_str());
    std::exit(1);
  }
  return {std::move(*read.calculation), found.orbital->coefficients};
}

}  // namespace lobewright::bench
