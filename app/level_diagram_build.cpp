#include "app/level_diagram_build.h"

#include <algorithm>
#include <unordered_set>

namespace lobewright {
namespace {

const char* spinWord(Spin spin) { return spin == Spin::beta ? "beta" : "alpha"; }

// The numbers of the set's MOs the selection names, or why there are none.
std::optional<std::vector<int>> chosenNumbers(const std::optional<std::vector<MoRange>>& selection,
                                              int homo, int lumo, std::string& error) {
  if (selection) return resolveMoSelection(*selection, homo, lumo, error);
  return aroundFrontier(homo, lumo, kDiagramReach);
}

}  // namespace

LevelDiagramBuild buildLevelDiagram(const std::vector<OrbitalRow>& rows,
                                    const std::optional<std::vector<MoRange>>& selection,
                                    std::optional<Spin> spin, std::string title) {
  const bool spinResolved = std::any_of(
      rows.begin(), rows.end(), [](const OrbitalRow& row) { return row.spin != Spin::none; });
  std::vector<Spin> sets;
  if (!spinResolved) {
    if (spin == Spin::beta) return {std::nullopt, "the file holds no beta MOs"};
    sets = {Spin::none};
  } else {
    sets = spin ? std::vector<Spin>{*spin} : std::vector<Spin>{Spin::alpha, Spin::beta};
  }
  LevelDiagram diagram{std::move(title), {}};
  for (const Spin set : sets) {
    std::vector<const OrbitalRow*> members;
    const OrbitalRow* homo = nullptr;
    const OrbitalRow* lumo = nullptr;
    for (const OrbitalRow& row : rows) {
      if (row.spin != set) continue;
      members.push_back(&row);
      if (row.frontier == "HOMO") homo = &row;
      if (row.frontier == "LUMO") lumo = &row;
    }
    const std::string setName =
        set == Spin::none ? std::string() : std::string(spinWord(set)) + " ";
    if (members.empty()) return {std::nullopt, "the file holds no " + setName + "MOs"};
    if (homo == nullptr && lumo == nullptr && (!selection || needsFrontier(*selection))) {
      return {std::nullopt, "the file does not show where the occupied " + setName +
                                "MOs end; choose the MOs by number with --mo"};
    }
    std::string error;
    const auto numbers =
        chosenNumbers(selection, homo ? homo->number : 0, lumo ? lumo->number : 0, error);
    if (!numbers) return {std::nullopt, error};
    const std::unordered_set<int> wanted(numbers->begin(), numbers->end());
    DiagramColumn column{set, {}, std::nullopt};
    for (const OrbitalRow* row : members) {
      if (wanted.count(row->number) == 0) continue;
      if (!row->energy) {
        return {std::nullopt, "the energy of " + setName + "MO " + std::to_string(row->number) +
                                  " is not known, so it has no place on a diagram"};
      }
      column.levels.push_back(
          {row->number, *row->energy, row->occupancy, row->symmetry, row->frontier});
    }
    if (column.levels.empty()) {
      return {std::nullopt, "the file holds none of the " + setName + "MOs chosen"};
    }
    std::stable_sort(
        column.levels.begin(), column.levels.end(),
        [](const DiagramLevel& a, const DiagramLevel& b) { return a.energy < b.energy; });
    if (homo != nullptr && lumo != nullptr && homo->energy && lumo->energy) {
      column.gap = *lumo->energy - *homo->energy;
    }
    diagram.columns.push_back(std::move(column));
  }
  return {std::move(diagram), {}};
}

}  // namespace lobewright
