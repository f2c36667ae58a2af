#include "writers/level_diagram_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "input/number_text.h"

namespace lobewright {
namespace {

// A character's width over the font size, as wide as the digits of common sans-serif fonts.
constexpr double kCharWidth = 0.62;
constexpr double kLeastFontSize = 6.0;
constexpr Rgb kInk{0.1f, 0.1f, 0.1f};
constexpr Rgb kEmptyLevelColour{0.55f, 0.55f, 0.55f};
constexpr Rgb kLeaderColour{0.7f, 0.7f, 0.7f};
constexpr Rgb kGapColour{0.0f, 0.4f, 0.55f};

double textWidth(const std::string& text, double size) {
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
  });
  return static_cast<double>(characters) * kCharWidth * size;
}

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
  return text;
}

void addUnique(std::vector<std::string>& words, const std::string& word) {
  if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end()) {
    words.push_back(word);
  }
}

// Degenerate levels: the column's levels by energy, in runs whose energies lie within
// kDegenerateEnergy of the run's first.
struct LevelGroup {
  std::vector<std::size_t> levels;  // in the column's levels
  double energy = 0.0;
};

std::vector<LevelGroup> groupsOf(const DiagramColumn& column) {
  std::vector<std::size_t> order(column.levels.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return column.levels[a].energy < column.levels[b].energy;
  });
  std::vector<LevelGroup> groups;
  for (const std::size_t i : order) {
    const double energy = column.levels[i].energy;
    if (groups.empty() || !(energy - groups.back().energy <= kDegenerateEnergy)) {
      groups.push_back({{}, energy});
    }
    groups.back().levels.push_back(i);
  }
  return groups;
}

std::string groupLabel(const DiagramColumn& column, const LevelGroup& group, bool annotated) {
  std::vector<std::string> energies;
  std::vector<std::string> numbers;
  std::vector<std::string> symmetries;
  std::vector<std::string> occupancies;
  for (const std::size_t i : group.levels) {
    const DiagramLevel& level = column.levels[i];
    addUnique(energies, energyText(level.energy));
    numbers.push_back(std::to_string(level.number));
    addUnique(symmetries, level.symmetry);
    // An occupancy that is no whole number of electrons is told, as arrows cannot show it.
    if (std::fabs(level.occupancy - std::round(level.occupancy)) > 0.005) {
      addUnique(occupancies, fixedNumber(level.occupancy, 2));
    }
  }
  std::string label = joined(energies, "/");
  if (!annotated) return label;
  label += "  MO " + joined(numbers, ", ");
  if (!symmetries.empty()) label += "  " + joined(symmetries, ", ");
  if (!occupancies.empty()) label += "  occupancy " + joined(occupancies, "/");
  return label;
}

int electronArrows(double occupancy, Spin spin) {
  if (spin == Spin::none) return occupancy >= 1.5 ? 2 : occupancy >= 0.5 ? 1 : 0;
  return occupancy >= 0.5 ? 1 : 0;
}

// A step of 1, 2 or 5 times a power of ten that cuts the span into about `count` pieces.
double tickStep(double span, int count) {
  const double wanted = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(wanted)));
  for (const double multiple : {1.0, 2.0, 5.0}) {
    if (multiple * power >= wanted) return multiple * power;
  }
  return 10.0 * power;
}

std::string tickText(double value, double step) {
  const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : 2;
  if (std::fabs(value) < step * 1e-6) value = 0.0;
  return fixedNumber(value, decimals);
}

// Centres for labels `spacing` tall, wanted at the given heights (in increasing order): runs of
// labels that would overlap are stacked around the mean of their wanted heights, within low and
// high where there is room.
std::vector<double> spreadLabels(const std::vector<double>& wanted, double spacing, double low,
                                 double high) {
  struct Stack {
    std::size_t first = 0;
    std::size_t count = 0;
    double top = 0.0;  // the first label's centre
  };
  std::vector<Stack> stacks;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    stacks.push_back({i, 1, wanted[i]});
    while (stacks.size() > 1) {
      const Stack& above = stacks[stacks.size() - 2];
      const Stack& below = stacks.back();
      if (above.top + static_cast<double>(above.count) * spacing <= below.top) break;
      Stack merged{above.first, above.count + below.count, 0.0};
      double sum = 0.0;
      for (std::size_t k = merged.first; k < merged.first + merged.count; ++k) sum += wanted[k];
      merged.top = sum / static_cast<double>(merged.count) -
                   0.5 * static_cast<double>(merged.count - 1) * spacing;
      stacks.pop_back();
      stacks.back() = merged;
    }
  }
  std::vector<double> centres;
  for (const Stack& stack : stacks) {
    for (std::size_t k = 0; k < stack.count; ++k) {
      centres.push_back(stack.top + static_cast<double>(k) * spacing);
    }
  }
  // Within the bounds, then apart again: pushed down, and back up from the bottom where they
  // pass it (past the top only when the page cannot hold them all).
  for (double& centre : centres) centre = std::clamp(centre, low, std::max(low, high));
  for (std::size_t i = 1; i < centres.size(); ++i) {
    centres[i] = std::max(centres[i], centres[i - 1] + spacing);
  }
  if (!centres.empty() && centres.back() > high) {
    centres.back() = std::max(low, high);
    for (std::size_t i = centres.size() - 1; i-- > 0;) {
      centres[i] = std::min(centres[i], centres[i + 1] - spacing);
    }
  }
  return centres;
}

// The HOMO or LUMO of the column among its levels.
std::optional<std::size_t> frontierLevel(const DiagramColumn& column, const char* name) {
  for (std::size_t i = 0; i < column.levels.size(); ++i) {
    if (column.levels[i].frontier == name) return i;
  }
  return std::nullopt;
}

std::string spinHeading(Spin spin, bool annotated) {
  switch (spin) {
    case Spin::alpha:
      return annotated ? "alpha" : "\u03b1";
    case Spin::beta:
      return annotated ? "beta" : "\u03b2";
    case Spin::none:
      break;
  }
  return {};
}

class Painter {
 public:
  Painter(DiagramLayout& page, double fontSize) : m_page(page), m_f(fontSize) {}

  void line(DiagramPoint from, DiagramPoint to, double width, const Rgb& colour) {
    m_page.lines.push_back({from, to, width * m_f, colour});
  }
  void text(DiagramPoint at, std::string words, double size, TextAnchor anchor, bool bold,
            const Rgb& colour) {
    m_page.texts.push_back({at, std::move(words), size * m_f, anchor, bold, colour});
  }
  // A vertical arrow from `tail` with its head at `tip`.
  void arrow(DiagramPoint tail, DiagramPoint tip, double width, const Rgb& colour) {
    const double direction = tip.y < tail.y ? 1.0 : -1.0;
    const double headLength = 0.45 * m_f;
    const double headHalfWidth = 0.25 * m_f;
    const DiagramPoint neck{tip.x, tip.y + direction * headLength};
    line(tail, {neck.x, neck.y + direction * -0.05 * m_f}, width, colour);
    m_page.triangles.push_back(
        {{tip, {neck.x - headHalfWidth, neck.y}, {neck.x + headHalfWidth, neck.y}}, colour});
  }

 private:
  DiagramLayout& m_page;
  double m_f;
};

// One column's measures, in font sizes.
struct ColumnMeasure {
  std::vector<LevelGroup> groups;
  std::vector<std::string> labels;  // one per group
  std::optional<std::size_t> homo;
  std::optional<std::size_t> lumo;
  std::string gapText;
  bool labelled = true;
  double lane = 0.0;  // between the levels and their labels: the gap's arrow
  double nameWidth = 0.0;
  double levelsWidth = 0.0;
  double labelWidth = 0.0;
  [[nodiscard]] bool gapDrawn() const { return homo && lumo; }
};

constexpr double kLevelWidth = 2.6;
constexpr double kLevelSpacing = 0.5;
constexpr double kLane = 1.8;
constexpr double kColumnSpacing = 1.5;
constexpr double kLabelSpacing = 1.25;
constexpr double kMostStretch = 2.0;

ColumnMeasure measure(const DiagramColumn& column, DiagramDetail detail) {
  const bool annotated = detail == DiagramDetail::annotated;
  const bool labelled = detail != DiagramDetail::levels;
  ColumnMeasure m;
  m.groups = groupsOf(column);
  std::size_t widest = 1;
  for (const LevelGroup& group : m.groups) {
    widest = std::max(widest, group.levels.size());
    m.labels.push_back(labelled ? groupLabel(column, group, annotated) : std::string());
    m.labelWidth = std::max(m.labelWidth, textWidth(m.labels.back(), 1.0));
  }
  m.homo = frontierLevel(column, "HOMO");
  m.lumo = frontierLevel(column, "LUMO");
  if (column.gap && labelled) m.gapText = "gap " + energyText(*column.gap) + " eV";
  if (m.gapDrawn()) m.labelWidth = std::max(m.labelWidth, textWidth(m.gapText, 1.0));
  if (labelled) m.labelWidth += 0.4;
  m.labelled = labelled;
  m.lane = labelled ? kLane : 0.5 * kLane;
  const double count = static_cast<double>(widest);
  m.levelsWidth = count * kLevelWidth + (count - 1.0) * kLevelSpacing;
  m.nameWidth = annotated ? 1.1 * textWidth("HOMO", 1.0) + 0.6 : 0.3;
  return m;
}

double columnWidth(const ColumnMeasure& m) {
  return m.nameWidth + m.levelsWidth + m.lane + m.labelWidth;
}

// The whole layout at font size f; false when the columns do not fit the page's width (they are
// laid out all the same, from the left).
bool layOutAt(const LevelDiagram& diagram, const DiagramStyle& style, double f,
              DiagramLayout& page) {
  page = {style.width, style.height, {}, {}, {}, {}};
  Painter paint(page, f);
  const bool annotated = style.detail == DiagramDetail::annotated;
  const double width = style.width;
  const double margin = (annotated ? 1.2 : 0.4) * f;

  std::vector<ColumnMeasure> measures;
  double columnsWidth = 0.0;
  bool headings = false;
  for (const DiagramColumn& column : diagram.columns) {
    measures.push_back(measure(column, style.detail));
    columnsWidth += columnWidth(measures.back()) * f;
    headings = headings || column.spin != Spin::none ||
               (!measures.back().gapDrawn() && !measures.back().gapText.empty());
  }
  columnsWidth += static_cast<double>(std::max<std::size_t>(diagram.columns.size(), 1) - 1) *
                  kColumnSpacing * f;

  double top = margin;
  if (annotated && !diagram.title.empty()) {
    paint.text({width / 2.0, margin + 1.1 * f}, diagram.title, 1.15, TextAnchor::middle, true,
               kInk);
    top += 2.0 * f;
  }
  const double headingBaseline = top + f;
  if (headings) top += 1.8 * f;
  const double plotTop = top + 0.8 * f;
  const double plotBottom = style.height - margin - 0.8 * f;

  double low = 0.0;
  double high = 0.0;
  bool any = false;
  for (const DiagramColumn& column : diagram.columns) {
    for (const DiagramLevel& level : column.levels) {
      low = any ? std::min(low, level.energy) : level.energy;
      high = any ? std::max(high, level.energy) : level.energy;
      any = true;
    }
  }
  if (high - low < 1.0) {
    const double middle = 0.5 * (high + low);
    low = middle - 0.5;
    high = middle + 0.5;
  }
  const double pad = 0.04 * (high - low);
  const double eTop = high + pad;
  const double eBottom = low - pad;
  const auto yOf = [&](double energy) {
    return plotTop + (eTop - energy) / (eTop - eBottom) * (plotBottom - plotTop);
  };

  double columnsLeft = margin;
  if (annotated) {
    const double step = tickStep(eTop - eBottom, 8);
    std::vector<std::pair<double, std::string>> ticks;
    double tickWidth = textWidth("eV", 1.0) * f;
    for (double tick = std::ceil(eBottom / step) * step; tick <= eTop; tick += step) {
      ticks.emplace_back(tick, tickText(tick, step));
      tickWidth = std::max(tickWidth, textWidth(ticks.back().second, 0.85) * f);
    }
    const double axisX = margin + tickWidth + 0.9 * f;
    paint.line({axisX, plotTop - 0.4 * f}, {axisX, plotBottom + 0.4 * f}, 0.08, kInk);
    for (const auto& [tick, text] : ticks) {
      const double y = yOf(tick);
      paint.line({axisX - 0.35 * f, y}, {axisX, y}, 0.08, kInk);
      paint.text({axisX - 0.5 * f, y + 0.3 * f}, text, 0.85, TextAnchor::end, false, kInk);
    }
    paint.text({axisX - 0.5 * f, plotTop - 1.0 * f}, "eV", 0.85, TextAnchor::end, true, kInk);
    columnsLeft = axisX + 0.8 * f;
  }
  const double available = width - margin - columnsLeft;
  const bool fits = columnsWidth <= available;
  // Room to spare widens the levels, up to twice their width.
  double levelsWidth = 0.0;
  for (const ColumnMeasure& m : measures) levelsWidth += m.levelsWidth * f;
  const double stretch =
      fits && levelsWidth > 0.0
          ? std::min(kMostStretch, 1.0 + 0.25 * (available - columnsWidth) / levelsWidth)
          : 1.0;
  columnsWidth += (stretch - 1.0) * levelsWidth;
  const double levelWidth = kLevelWidth * stretch * f;
  const double levelSpacing = kLevelSpacing * stretch * f;

  double x = columnsLeft + (fits ? 0.5 * (available - columnsWidth) : 0.0);
  for (std::size_t c = 0; c < diagram.columns.size(); ++c) {
    const DiagramColumn& column = diagram.columns[c];
    const ColumnMeasure& m = measures[c];
    const double levelsLeft = x + m.nameWidth * f;
    const double levelsRight = levelsLeft + m.levelsWidth * stretch * f;
    const double labelLeft = levelsRight + m.lane * f;
    x += (columnWidth(m) + (stretch - 1.0) * m.levelsWidth + kColumnSpacing) * f;

    std::string heading = spinHeading(column.spin, annotated);
    if (!m.gapDrawn() && !m.gapText.empty()) {
      heading += (heading.empty() ? "" : ", ") + m.gapText;
    }
    if (!heading.empty()) {
      paint.text({0.5 * (levelsLeft + levelsRight), headingBaseline}, heading, 1.0,
                 TextAnchor::middle, true, kInk);
    }

    std::vector<double> wanted;
    for (const LevelGroup& group : m.groups) {
      const double y = yOf(group.energy);
      wanted.push_back(y);
      const double count = static_cast<double>(group.levels.size());
      const double groupWidth = count * levelWidth + (count - 1.0) * levelSpacing;
      const double groupLeft = levelsLeft + 0.5 * (levelsRight - levelsLeft - groupWidth);
      double left = groupLeft;
      std::vector<std::string> names;
      for (const std::size_t i : group.levels) {
        const DiagramLevel& level = column.levels[i];
        const double right = left + levelWidth;
        const int arrows = electronArrows(level.occupancy, column.spin);
        paint.line({left, y}, {right, y}, 0.17, arrows > 0 ? kInk : kEmptyLevelColour);
        const double middle = 0.5 * (left + right);
        const double up = column.spin == Spin::beta ? 1.0 : -1.0;
        const auto electron = [&](double at, double sign) {
          paint.arrow({at, y - sign * 0.75 * f}, {at, y + sign * 0.75 * f}, 0.1, kInk);
        };
        if (arrows == 2) {
          electron(middle - 0.4 * f, -1.0);
          electron(middle + 0.4 * f, 1.0);
        } else if (arrows == 1) {
          electron(middle, up);
        }
        page.places.push_back({c, i, left, y - 0.7 * f, right, y + 0.7 * f});
        addUnique(names, level.frontier);
        left = right + levelSpacing;
      }
      if (annotated && !names.empty()) {
        paint.text({groupLeft - 0.4 * f, y + 0.35 * f}, joined(names, "/"), 0.95, TextAnchor::end,
                   true, kInk);
      }
    }

    // The labels, and the gap's between the HOMO's and the LUMO's.
    std::vector<std::size_t> order(
        m.labelled ? m.groups.size() + (m.gapDrawn() && !m.gapText.empty() ? 1 : 0) : 0);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (order.size() > m.groups.size()) {
      wanted.push_back(0.5 *
                       (yOf(column.levels[*m.homo].energy) + yOf(column.levels[*m.lumo].energy)));
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return wanted[a] < wanted[b]; });
    std::vector<double> sortedWanted;
    for (const std::size_t i : order) sortedWanted.push_back(wanted[i]);
    const std::vector<double> centres =
        spreadLabels(sortedWanted, kLabelSpacing * f, plotTop - 0.4 * f, plotBottom + 0.4 * f);
    for (std::size_t k = 0; k < order.size(); ++k) {
      const std::size_t item = order[k];
      const double centre = centres[k];
      const double baseline = centre + 0.36 * f;
      if (item == m.groups.size()) {
        paint.text({labelLeft, baseline}, m.gapText, 1.0, TextAnchor::start, true, kGapColour);
        continue;
      }
      const LevelGroup& group = m.groups[item];
      bool frontier = false;
      for (const std::size_t i : group.levels)
        frontier = frontier || !column.levels[i].frontier.empty();
      paint.text({labelLeft, baseline}, m.labels[item], 1.0, TextAnchor::start,
                 frontier && !annotated, kInk);
      if (std::fabs(centre - wanted[item]) > 0.1 * f) {
        paint.line({levelsRight + 0.15 * f, wanted[item]}, {labelLeft - 0.25 * f, centre}, 0.06,
                   kLeaderColour);
      }
      page.places.push_back({c, group.levels.front(), labelLeft, centre - 0.6 * f,
                             labelLeft + textWidth(m.labels[item], f), centre + 0.6 * f});
    }

    if (m.gapDrawn()) {
      const double lane = levelsRight + 0.5 * m.lane * f;
      const double homoY = yOf(column.levels[*m.homo].energy);
      const double lumoY = yOf(column.levels[*m.lumo].energy);
      const double middle = 0.5 * (homoY + lumoY);
      paint.arrow({lane, middle}, {lane, lumoY}, 0.09, kGapColour);
      paint.arrow({lane, middle}, {lane, homoY}, 0.09, kGapColour);
    }
  }
  return fits;
}

}  // namespace

DiagramLayout layOutDiagram(const LevelDiagram& diagram, const DiagramStyle& style) {
  double f = style.fontSize > 0.0
                 ? style.fontSize
                 : std::clamp(std::min(style.width, style.height) / 60.0, kLeastFontSize, 28.0);
  DiagramLayout page;
  const double first = f;
  bool fits = layOutAt(diagram, style, f, page);
  while (!fits && f > kLeastFontSize) {
    f = std::max(kLeastFontSize, f * 0.9);
    fits = layOutAt(diagram, style, f, page);
  }
  if (!fits && style.detail == DiagramDetail::energies) {
    DiagramStyle bare = style;
    bare.detail = DiagramDetail::levels;
    layOutAt(diagram, bare, first, page);
  }
  return page;
}

std::optional<DiagramPlace> levelAt(const DiagramLayout& layout, DiagramPoint point) {
  // Places of close levels overlap: the one whose middle is nearest the point wins.
  std::optional<DiagramPlace> nearest;
  double nearestDistance = 0.0;
  for (const DiagramPlace& place : layout.places) {
    if (point.x < place.left || point.x > place.right || point.y < place.top ||
        point.y > place.bottom) {
      continue;
    }
    const double distance = std::fabs(point.y - 0.5 * (place.top + place.bottom));
    if (!nearest || distance < nearestDistance) {
      nearest = place;
      nearestDistance = distance;
    }
  }
  return nearest;
}

std::string energyText(double energy) {
  const double rounded = std::round(energy * 100.0) / 100.0;
  return fixedNumber(rounded == 0.0 ? 0.0 : rounded, 2);
}

}  // namespace lobewright
