#include "writers/scene_atoms.h"

#include <algorithm>
#include <array>

namespace lobewright {
namespace {

// The first four table entries are coloured by position, whatever their symbols.
constexpr std::array<const char*, 4> kPositionColours{"rgb<1,1,1>", "rgb<.3,.3,.3>", "rgb<0,0,1>",
                                                      "rgb<1,0,0>"};

// Other entries get a colour by symbol, so that every sphere's colour is declared.
const char* colourForSymbol(const std::string& symbol) {
  struct SymbolColour {
    const char* symbol;
    const char* colour;
  };
  static constexpr std::array<SymbolColour, 10> kColours{{
      {"H", "rgb<1,1,1>"},
      {"C", "rgb<.3,.3,.3>"},
      {"N", "rgb<0,0,1>"},
      {"O", "rgb<1,0,0>"},
      {"F", "rgb<.56,.88,.31>"},
      {"P", "rgb<1,.5,0>"},
      {"S", "rgb<1,1,.19>"},
      {"Cl", "rgb<.12,.94,.12>"},
      {"Br", "rgb<.65,.16,.16>"},
      {"I", "rgb<.58,0,.58>"},
  }};
  for (const SymbolColour& entry : kColours) {
    if (symbol == entry.symbol) return entry.colour;
  }
  return "rgb<1,.5,.75>";
}

}  // namespace

SceneAtoms classicSceneAtoms(const ClassicCalculation& calculation, int scale) {
  SceneAtoms scene;
  const Pm3ParameterSet& table = calculation.parameters;
  for (int e = 0; e < table.elementCount; ++e) {
    const char* colour = e < static_cast<int>(kPositionColours.size())
                             ? kPositionColours[e]
                             : colourForSymbol(table.symbol[e]);
    scene.elements.push_back({table.symbol[e], colour});
  }
  const auto s = static_cast<float>(scale);
  for (const ClassicAtom& atom : calculation.atoms) {
    scene.elementOfAtom.push_back(atom.element);
    scene.positions.push_back({atom.position.x * s, atom.position.y * s, atom.position.z * s});
  }
  return scene;
}

SceneAtoms sceneAtoms(const std::vector<CalculationAtom>& atoms, int scale) {
  SceneAtoms scene;
  for (const CalculationAtom& atom : atoms) {
    const auto known =
        std::find_if(scene.elements.begin(), scene.elements.end(),
                     [&](const SceneAtoms::Element& e) { return e.symbol == atom.symbol; });
    scene.elementOfAtom.push_back(static_cast<int>(known - scene.elements.begin()));
    if (known == scene.elements.end()) {
      scene.elements.push_back({atom.symbol, colourForSymbol(atom.symbol)});
    }
    const auto s = static_cast<float>(scale);
    scene.positions.push_back({static_cast<float>(atom.position.x) * s,
                               static_cast<float>(atom.position.y) * s,
                               static_cast<float>(atom.position.z) * s});
  }
  return scene;
}

}  // namespace lobewright
