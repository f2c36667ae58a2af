#include "input/aux_sections.h"

#include <algorithm>

#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

[[nodiscard]] std::string_view trimmedFront(std::string_view line) {
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  return line;
}

[[nodiscard]] constexpr bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

[[nodiscard]] constexpr bool isNameCharacter(char c) {
  return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

}  // namespace

std::optional<AuxHeading> parseAuxHeading(std::string_view line) {
  line = trimmedFront(line);
  const std::size_t equals = line.find('=');
  if (line.empty() || !isLetter(line.front()) || equals == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view key = line.substr(0, equals);
  AuxHeading heading;
  heading.rest = line.substr(equals + 1);

  const std::size_t nameEnd = key.find_first_of(":[");
  heading.name = key.substr(0, nameEnd);
  if (!std::all_of(heading.name.begin(), heading.name.end(), isNameCharacter)) {
    return std::nullopt;
  }
  key.remove_prefix(heading.name.size());
  if (!key.empty() && key.front() == ':') {
    const std::size_t unitsEnd = key.find('[');
    heading.units = key.substr(1, unitsEnd == std::string_view::npos ? key.npos : unitsEnd - 1);
    key.remove_prefix(1 + heading.units.size());
  }
  if (key.empty()) return heading;

  // What is left is "[count]", possibly followed by blanks before the "=".
  const std::size_t close = key.find(']');
  if (key.front() != '[' || close == std::string_view::npos ||
      !trimmedFront(key.substr(close + 1)).empty()) {
    heading.countKind = AuxHeading::Count::malformed;
    heading.countText = key;
    return heading;
  }
  heading.countText = key.substr(1, close - 1);
  const bool stars = !heading.countText.empty() &&
                     heading.countText.find_first_not_of('*') == std::string_view::npos;
  const std::optional<std::size_t> count = parseInteger<std::size_t>(heading.countText);
  if (stars) {
    heading.countKind = AuxHeading::Count::unknown;
  } else if (count && heading.countText.front() != '+') {
    heading.countKind = AuxHeading::Count::given;
    heading.count = *count;
  } else {
    heading.countKind = AuxHeading::Count::malformed;
  }
  return heading;
}

bool isAuxComment(std::string_view line) {
  line = trimmedFront(line);
  return !line.empty() && line.front() == '#';
}

bool isAuxFrame(std::string_view line) {
  const std::vector<std::string_view> words = splitWords(line);
  return words.size() >= 3 && (words[0] == "START" || words[0] == "END") && words[1] == "OF" &&
         words[2] == "MOPAC";
}

const AuxSection::Line& AuxSection::lineOf(std::size_t entry) const {
  const auto after = std::upper_bound(
      lineStarts.begin(), lineStarts.end(), entry,
      [](std::size_t value, const LineStart& start) { return value < start.firstEntry; });
  return after == lineStarts.begin() ? heading : std::prev(after)->line;
}

}  // namespace lobewright
