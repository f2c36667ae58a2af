#include "input/slater_exponents.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <utility>
#include <vector>

#include "input/number_text.h"

namespace lobewright {

// The text of input/data/mopac-slater-exponents.tsv, compiled in.
std::string_view slaterExponentText();

namespace {

// Methods that differ from another only in corrections outside the basis (dispersion, hydrogen
// bonds), checked against MOPAC 22's own .aux output for every element.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kSameExponents = {{
    {"PM6-D3", "PM6"},
    {"PM6-DH+", "PM6"},
    {"PM6-DH2", "PM6"},
    {"PM6-DH2X", "PM6"},
    {"PM6-D3H4", "PM6"},
    {"PM6-D3H4X", "PM6"},
}};

using Table = std::map<std::pair<std::string, std::string>, ShellExponents, std::less<>>;

std::string upperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// "CL", "cl" -> "Cl".
std::string symbolCase(std::string_view symbol) {
  std::string cased(symbol);
  for (std::size_t i = 0; i < cased.size(); ++i) {
    const auto c = static_cast<unsigned char>(cased[i]);
    cased[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
  }
  return cased;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// A shell from its two fields; nothing when both are empty, and false when they do not read.
bool readShell(std::string_view nField, std::string_view zetaField,
               std::optional<SlaterShell>& shell) {
  if (nField.empty() && zetaField.empty()) return true;
  const std::optional<int> n = parseInteger<int>(nField);
  const std::optional<double> zeta = parseDouble(zetaField);
  if (!n || !zeta || *n < 1 || *zeta <= 0.0) return false;
  shell = SlaterShell{*n, *zeta};
  return true;
}

// Rows: method, element, then n and zeta of the s, p and d shells (empty where there is none).
Table parseTable(std::string_view text) {
  constexpr std::size_t kFields = 8;
  Table table;
  bool header = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (std::exchange(header, false) || line.empty()) continue;
    const std::vector<std::string_view> fields = splitTabs(line);
    if (fields.size() != kFields) continue;
    std::optional<SlaterShell> s;
    ShellExponents shells;
    if (readShell(fields[2], fields[3], s) && s && readShell(fields[4], fields[5], shells.p) &&
        readShell(fields[6], fields[7], shells.d)) {
      shells.s = *s;
      table.emplace(std::pair{std::string(fields[0]), std::string(fields[1])}, shells);
    }
  }
  return table;
}

const Table& table() {
  static const Table parsed = parseTable(slaterExponentText());
  return parsed;
}

}  // namespace

std::optional<std::string> exponentTableMethod(std::string_view method) {
  std::string name = upperCase(method);
  for (const auto& [alias, base] : kSameExponents) {
    if (name == alias) name = base;
  }
  const auto known = table().lower_bound(std::pair{name, std::string()});
  if (known == table().end() || known->first.first != name) return std::nullopt;
  return name;
}

std::optional<ShellExponents> slaterExponents(std::string_view method, std::string_view symbol) {
  const std::optional<std::string> rows = exponentTableMethod(method);
  if (!rows) return std::nullopt;
  const auto found = table().find(std::pair{*rows, symbolCase(symbol)});
  if (found == table().end()) return std::nullopt;
  return found->second;
}

std::optional<SlaterShell> shellOf(const ShellExponents& shells, int l) {
  if (l == 0) return shells.s;
  return l == 1 ? shells.p : shells.d;
}

void appendShell(std::vector<BasisFunction>& basis, int atom, int l, const SlaterShell& shell) {
  const int first = l == 0   ? 0
                    : l == 1 ? static_cast<int>(AoType::px)
                             : static_cast<int>(AoType::x2);
  for (int i = 0; i < 2 * l + 1; ++i) {
    basis.push_back({atom, shell.n, static_cast<AoType>(first + i), shell.zeta});
  }
}

}  // namespace lobewright
