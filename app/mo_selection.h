#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lobewright {

// An MO as a chemist names it: by number, or as HOMO-k or LUMO+k.
struct MoName {
  enum class Anchor { number, homo, lumo };
  Anchor anchor = Anchor::number;
  int offset = 0;  // the number itself, or the step from the HOMO or LUMO
};

// A run of MOs from `first` to `last`; a single MO has both the same.
struct MoRange {
  MoName first;
  MoName last;
};

// What --mo takes: "37", "HOMO", "homo-1", "LUMO+2", ranges "A..B" and comma-separated lists of
// both, such as "30,32,HOMO..LUMO+1". Nothing, with the reason in `error`, when the text is
// none of these.
[[nodiscard]] std::optional<std::vector<MoRange>> parseMoSelection(std::string_view text,
                                                                   std::string& error);

[[nodiscard]] bool needsFrontier(const std::vector<MoRange>& selection);

// The MO numbers of the selection in order, each once, given the HOMO's and LUMO's numbers (0
// when the calculation has none). Nothing, with the reason, when a name needs a HOMO or LUMO
// there is not, falls below MO 1 or beyond the largest int, or a range runs backwards.
[[nodiscard]] std::optional<std::vector<int>> resolveMoSelection(
    const std::vector<MoRange>& selection, int homo, int lumo, std::string& error);

// HOMO-reach to LUMO+reach, from MO 1 at least; without a HOMO (0) from the LUMO, without a LUMO
// (0) to the HOMO.
[[nodiscard]] std::vector<int> aroundFrontier(int homo, int lumo, int reach);

// The placeholder in an output name that each MO's number replaces: "caffeine-{mo}.pov".
inline constexpr std::string_view kMoPlaceholder = "{mo}";

[[nodiscard]] std::string withMoNumber(std::string_view path, int mo);

// The placeholder that the spin set's name ("alpha", "beta") replaces: "radical-{mo}-{spin}.glb".
inline constexpr std::string_view kSpinPlaceholder = "{spin}";

[[nodiscard]] std::string withSpinName(std::string_view path, std::string_view spin);

}  // namespace lobewright
