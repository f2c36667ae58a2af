#include "app/mo_selection.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>

#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// Longest list or range that --mo takes: more MOs than any molecule MOPAC runs.
constexpr int kMostMos = 100000;

std::optional<MoName> parseName(std::string_view text) {
  const std::string word = asciiLowerCase(text);
  for (const auto& [prefix, anchor] : {std::pair{std::string_view("homo"), MoName::Anchor::homo},
                                       std::pair{std::string_view("lumo"), MoName::Anchor::lumo}}) {
    if (word.rfind(prefix, 0) != 0) continue;
    const std::string_view rest = std::string_view(word).substr(prefix.size());
    if (rest.empty()) return MoName{anchor, 0};
    // HOMO takes a minus and LUMO a plus; the other way round (HOMO+1, LUMO-1) is taken too.
    if (rest.size() < 2 || (rest.front() != '-' && rest.front() != '+')) return std::nullopt;
    const std::optional<int> step = parseInteger<int>(rest.substr(1));
    if (!step || *step < 0 || *step > kMostMos) return std::nullopt;
    return MoName{anchor, rest.front() == '-' ? -*step : *step};
  }
  const std::optional<int> number = parseInteger<int>(word);
  if (!number || *number < 1) return std::nullopt;
  return MoName{MoName::Anchor::number, *number};
}

// The MO's number, wide enough that no step from the HOMO or LUMO overflows; nothing, with the
// reason, when the name needs a HOMO or LUMO that the calculation does not have (0).
std::optional<int64_t> numberOf(const MoName& name, int homo, int lumo, std::string& error) {
  switch (name.anchor) {
    case MoName::Anchor::homo:
      if (homo < 1) {
        error = "there is no HOMO: no MO holds an electron";
        return std::nullopt;
      }
      return int64_t{homo} + name.offset;
    case MoName::Anchor::lumo:
      if (lumo < 1) {
        error = "there is no LUMO: every MO holds electrons";
        return std::nullopt;
      }
      return int64_t{lumo} + name.offset;
    case MoName::Anchor::number:
      break;
  }
  return name.offset;
}

// "HOMO-9" or "37", as the user wrote it.
std::string nameText(const MoName& name) {
  if (name.anchor == MoName::Anchor::number) return std::to_string(name.offset);
  std::string text = name.anchor == MoName::Anchor::homo ? "HOMO" : "LUMO";
  if (name.offset > 0) text += '+';
  if (name.offset != 0) text += std::to_string(name.offset);
  return text;
}

}  // namespace

std::optional<std::vector<MoRange>> parseMoSelection(std::string_view text, std::string& error) {
  std::vector<MoRange> selection;
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string item(text.substr(0, comma));
    const std::size_t dots = item.find("..");
    const auto first = parseName(std::string_view(item).substr(0, dots));
    const auto last =
        dots == std::string::npos ? first : parseName(std::string_view(item).substr(dots + 2));
    if (!first || !last) {
      error = "\"" + item +
              "\" is not an MO: give a number, HOMO, LUMO, HOMO-k or LUMO+k, ranges A..B and "
              "lists separated by commas";
      return std::nullopt;
    }
    selection.push_back({*first, *last});
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return selection;
}

bool needsFrontier(const std::vector<MoRange>& selection) {
  return std::any_of(selection.begin(), selection.end(), [](const MoRange& range) {
    return range.first.anchor != MoName::Anchor::number ||
           range.last.anchor != MoName::Anchor::number;
  });
}

std::optional<std::vector<int>> resolveMoSelection(const std::vector<MoRange>& selection, int homo,
                                                   int lumo, std::string& error) {
  std::vector<int> mos;
  std::unordered_set<int> taken;
  for (const MoRange& range : selection) {
    const std::optional<int64_t> first = numberOf(range.first, homo, lumo, error);
    const std::optional<int64_t> last = first ? numberOf(range.last, homo, lumo, error) : first;
    if (!first || !last) return std::nullopt;
    for (const auto& [name, number] :
         {std::pair{range.first, *first}, std::pair{range.last, *last}}) {
      if (number < 1) {
        error = nameText(name) + " would be MO " + std::to_string(number) + ", below MO 1";
        return std::nullopt;
      }
      if (number > std::numeric_limits<int>::max()) {
        error =
            nameText(name) + " would be MO " + std::to_string(number) + ", beyond any MO number";
        return std::nullopt;
      }
    }
    if (*last < *first) {
      error = "the range from MO " + std::to_string(*first) + " to MO " + std::to_string(*last) +
              " runs backwards";
      return std::nullopt;
    }
    if (*last - *first >= kMostMos) {
      error = "the selection holds more than " + std::to_string(kMostMos) + " MOs";
      return std::nullopt;
    }
    for (int64_t mo = *first; mo <= *last; ++mo) {
      if (taken.insert(static_cast<int>(mo)).second) mos.push_back(static_cast<int>(mo));
    }
    if (mos.size() > kMostMos) {
      error = "the selection holds more than " + std::to_string(kMostMos) + " MOs";
      return std::nullopt;
    }
  }
  return mos;
}

std::vector<int> aroundFrontier(int homo, int lumo, int reach) {
  const int first = std::max(1, (homo > 0 ? homo : lumo) - reach);
  const int last = (lumo > 0 ? lumo : homo) + reach;
  std::vector<int> mos;
  for (int mo = first; mo <= last; ++mo) mos.push_back(mo);
  return mos;
}

namespace {

std::string replacedAll(std::string_view path, std::string_view placeholder,
                        std::string_view value) {
  std::string result(path);
  for (std::size_t at = result.find(placeholder); at != std::string::npos;
       at = result.find(placeholder, at + value.size())) {
    result.replace(at, placeholder.size(), value);
  }
  return result;
}

}  // namespace

std::string withMoNumber(std::string_view path, int mo) {
  return replacedAll(path, kMoPlaceholder, std::to_string(mo));
}

std::string withSpinName(std::string_view path, std::string_view spin) {
  return replacedAll(path, kSpinPlaceholder, spin);
}

}  // namespace lobewright
