// The level diagram's layout, the SVG text it is written in, and the layout's hit test.
#include <gtest/gtest.h>

#include <algorithm>

#include "writers/diagram_svg.h"
#include "writers/level_diagram_layout.h"
#include "writers/svg_text.h"

namespace lobewright {
namespace {

// MOs 2 and 3 are degenerate; the LUMO and MO 5 lie 0.02 eV apart, their labels must move.
DiagramColumn restrictedColumn() {
  return {Spin::none,
          {{1, -20.0, 2.0, "1a1", ""},
           {2, -12.5, 2.0, "1e", ""},
           {3, -12.5, 2.0, "1e", "HOMO"},
           {4, 1.25, 0.0, "2a1", "LUMO"},
           {5, 1.27, 0.0, "3a1", ""}},
          13.75};
}

std::string allText(const DiagramLayout& layout) {
  std::string text;
  for (const DiagramText& t : layout.texts) text += t.text + "\n";
  return text;
}

const DiagramPlace& placeOf(const DiagramLayout& layout, std::size_t column, std::size_t level) {
  return *std::find_if(layout.places.begin(), layout.places.end(), [&](const DiagramPlace& p) {
    return p.column == column && p.level == level;
  });
}

TEST(LevelDiagram, TellsEveryEnergyAndTheGapWithDegenerateLevelsSideBySide) {
  const DiagramLayout layout = layOutDiagram({"levels", {restrictedColumn()}}, {});
  const std::string text = allText(layout);
  for (const char* expected : {"-20.00", "-12.50", "1.25", "1.27", "gap 13.75 eV", "HOMO", "LUMO",
                               "MO 2, 3", "1e", "levels"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  }
  const DiagramPlace& two = placeOf(layout, 0, 1);
  const DiagramPlace& three = placeOf(layout, 0, 2);
  EXPECT_EQ(two.top, three.top);
  EXPECT_LT(two.right, three.left);
  // Higher energies are higher on the page.
  EXPECT_LT(placeOf(layout, 0, 3).top, two.top);
  // Two arrows on each of the three filled levels, and the gap's two heads.
  EXPECT_EQ(layout.triangles.size(), 8u);
}

TEST(LevelDiagram, LabelsOfCrowdedLevelsNeverOverlapAndStayOnThePage) {
  DiagramColumn crowded{Spin::none, {}, std::nullopt};
  for (int mo = 1; mo <= 12; ++mo) crowded.levels.push_back({mo, -10.0 + 0.02 * mo, 2.0, "", ""});
  for (const double height : {1000.0, 300.0}) {
    const DiagramLayout layout =
        layOutDiagram({"", {crowded}}, {600.0, height, 0.0, DiagramDetail::annotated});
    std::vector<double> baselines;
    double size = 0.0;
    for (const DiagramText& t : layout.texts) {
      if (t.text.find("MO ") == std::string::npos) continue;
      baselines.push_back(t.at.y);
      size = t.size;
      EXPECT_GE(t.at.y - t.size, 0.0);
      EXPECT_LE(t.at.y, height);
    }
    ASSERT_EQ(baselines.size(), 12u);
    std::sort(baselines.begin(), baselines.end());
    for (std::size_t i = 1; i < baselines.size(); ++i) {
      EXPECT_GE(baselines[i] - baselines[i - 1], size) << height;
    }
  }
}

TEST(LevelDiagram, SpinSetsHaveColumnsOfTheirOwnWithArrowsOfTheirSpin) {
  DiagramColumn alpha{Spin::alpha, {{1, -15.0, 1.0, "", ""}, {2, -9.0, 1.0, "", "HOMO"}}, {}};
  DiagramColumn beta{Spin::beta, {{1, -14.0, 1.0, "", "HOMO"}, {2, 0.5, 0.0, "", "LUMO"}}, 14.5};
  const DiagramLayout layout = layOutDiagram({"radical", {alpha, beta}}, {});
  const std::string text = allText(layout);
  EXPECT_NE(text.find("alpha"), std::string::npos);
  EXPECT_NE(text.find("beta"), std::string::npos);
  EXPECT_NE(text.find("gap 14.50 eV"), std::string::npos);
  const double betaLeft = placeOf(layout, 1, 0).left;
  EXPECT_GT(betaLeft, placeOf(layout, 0, 0).right);
  int up = 0;
  int down = 0;
  for (const DiagramTriangle& head : layout.triangles) {
    const DiagramPoint& tip = head.corners[0];
    const bool pointsUp = tip.y < head.corners[1].y;
    // The gap's arrow lies right of the beta levels.
    if (tip.x > placeOf(layout, 1, 0).right) continue;
    (tip.x < betaLeft ? up : down) += pointsUp ? 1 : -1;
  }
  EXPECT_EQ(up, 2);
  EXPECT_EQ(down, -1);
}

TEST(LevelDiagram, ThePointerFindsTheLevelUnderIt) {
  const DiagramLayout layout = layOutDiagram({"levels", {restrictedColumn()}}, {});
  for (std::size_t level = 0; level < 5; ++level) {
    const DiagramPlace& place = placeOf(layout, 0, level);
    const auto found =
        levelAt(layout, {0.5 * (place.left + place.right), 0.5 * (place.top + place.bottom)});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->level, level);
  }
  EXPECT_FALSE(levelAt(layout, {1.0, 1.0}));
}

TEST(LevelDiagram, ANarrowPageTakesASmallerFont) {
  const DiagramLayout wide = layOutDiagram({"levels", {restrictedColumn()}}, {900.0, 600.0});
  const DiagramLayout narrow = layOutDiagram({"levels", {restrictedColumn()}}, {180.0, 600.0});
  EXPECT_LT(narrow.texts.back().size, wide.texts.back().size);
  for (const DiagramPlace& place : narrow.places) EXPECT_LE(place.right, 180.0);
}

TEST(SvgText, EscapesMarkupAndReplacesWhatIsNotUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"a<b&c>\"d\"", "a&lt;b&amp;c&gt;&quot;d&quot;"},
      {"10a''", "10a&apos;&apos;"},
      {"tab\tnul", "tab?nul"},
      {"caf\xc3\xa9 \xe2\x86\x91", "caf\xc3\xa9 \xe2\x86\x91"},
      {"\xff\xc3", "??"},
      {"\xe0\x80\x80", "???"},  // an overlong form
      {"\xed\xa0\x80", "???"},  // a surrogate
  };
  for (const auto& [text, expected] : cases) {
    std::string svg;
    appendSvgText(svg, text);
    EXPECT_EQ(svg, expected);
  }
  EXPECT_EQ(svgColour({1.0f, 0.5f, 0.0f}), "#ff8000");
}

TEST(DiagramSvg, EveryTextOfTheLayoutIsATextElementInAGenericFont) {
  const DiagramLayout layout = layOutDiagram({"<levels>", {restrictedColumn()}}, {});
  const std::string svg = diagramSvg(layout, "<levels>");
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_NE(svg.find("font-family=\"sans-serif\""), std::string::npos);
  EXPECT_NE(svg.find("<title>&lt;levels&gt;</title>"), std::string::npos);
  std::size_t texts = 0;
  for (std::size_t at = svg.find("<text "); at != std::string::npos;
       at = svg.find("<text ", at + 1)) {
    ++texts;
  }
  EXPECT_EQ(texts, layout.texts.size());
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

}  // namespace
}  // namespace lobewright
