#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/mo_selection.h"
#include "app/orbital_list.h"
#include "writers/level_diagram.h"

namespace lobewright {

// The MOs a level diagram shows unless told otherwise: from HOMO-5 to LUMO+5 of each spin set.
inline constexpr int kDiagramReach = 5;

struct LevelDiagramBuild {
  std::optional<LevelDiagram> diagram;
  std::string error;  // why there is none, for the user
};

// The level diagram of a file's MOs (its rows as the MO list has them): a column for each spin
// set, or only the set `spin` names, holding the MOs of the selection, each set's HOMO and LUMO
// resolving its own names; without a selection, HOMO-5 to LUMO+5 (from MO 1 at least). Each
// column's gap comes from its set's HOMO and LUMO, whether the selection shows them or not.
// Refused: a spin set the file lacks, a selection that needs a HOMO or LUMO the file does not
// place, a selection of MOs the file does not hold.
[[nodiscard]] LevelDiagramBuild buildLevelDiagram(
    const std::vector<OrbitalRow>& rows, const std::optional<std::vector<MoRange>>& selection,
    std::optional<Spin> spin, std::string title);

}  // namespace lobewright
