// Which MOs a level diagram shows, from a file's list of MOs.
#include "app/level_diagram_build.h"

#include <gtest/gtest.h>

namespace lobewright {
namespace {

// 20 MOs of one spin set, the first `occupied` holding electrons, one eV apart.
std::vector<OrbitalRow> spinSet(Spin spin, int occupied) {
  std::vector<OrbitalRow> rows;
  const double electrons = spin == Spin::none ? 2.0 : 1.0;
  for (int mo = 1; mo <= 20; ++mo) {
    const char* frontier = mo == occupied ? "HOMO" : mo == occupied + 1 ? "LUMO" : "";
    rows.push_back({mo, spin, mo <= occupied ? electrons : 0.0,
                    -30.0 + mo + 0.1 * (spin == Spin::beta), "", frontier});
  }
  return rows;
}

std::vector<int> numbersOf(const DiagramColumn& column) {
  std::vector<int> numbers;
  for (const DiagramLevel& level : column.levels) numbers.push_back(level.number);
  return numbers;
}

std::vector<int> run(int first, int last) {
  std::vector<int> numbers;
  for (int mo = first; mo <= last; ++mo) numbers.push_back(mo);
  return numbers;
}

TEST(LevelDiagramBuild, ShowsHomoMinusFiveToLumoPlusFiveOfEachSpinSetUnlessTold) {
  const auto restricted =
      buildLevelDiagram(spinSet(Spin::none, 9), std::nullopt, std::nullopt, "t");
  ASSERT_TRUE(restricted.diagram) << restricted.error;
  ASSERT_EQ(restricted.diagram->columns.size(), 1u);
  EXPECT_EQ(numbersOf(restricted.diagram->columns[0]), run(4, 15));
  EXPECT_DOUBLE_EQ(*restricted.diagram->columns[0].gap, 1.0);
  // Near MO 1 the range starts at MO 1.
  const auto low = buildLevelDiagram(spinSet(Spin::none, 3), std::nullopt, std::nullopt, "t");
  EXPECT_EQ(numbersOf(low.diagram->columns[0]), run(1, 9));

  std::vector<OrbitalRow> unrestricted = spinSet(Spin::alpha, 8);
  const std::vector<OrbitalRow> beta = spinSet(Spin::beta, 7);
  unrestricted.insert(unrestricted.end(), beta.begin(), beta.end());
  const auto both = buildLevelDiagram(unrestricted, std::nullopt, std::nullopt, "t");
  ASSERT_EQ(both.diagram->columns.size(), 2u);
  EXPECT_EQ(both.diagram->columns[0].spin, Spin::alpha);
  EXPECT_EQ(numbersOf(both.diagram->columns[0]), run(3, 14));
  EXPECT_EQ(numbersOf(both.diagram->columns[1]), run(2, 13));
  const auto onlyBeta = buildLevelDiagram(unrestricted, std::nullopt, Spin::beta, "t");
  ASSERT_EQ(onlyBeta.diagram->columns.size(), 1u);
  EXPECT_EQ(onlyBeta.diagram->columns[0].spin, Spin::beta);

  // A selection is resolved against each set's own HOMO and LUMO; the gap stays.
  const std::vector<MoRange> frontier{{{MoName::Anchor::homo, 0}, {MoName::Anchor::lumo, 1}}};
  const auto chosen = buildLevelDiagram(unrestricted, frontier, std::nullopt, "t");
  EXPECT_EQ(numbersOf(chosen.diagram->columns[0]), run(8, 10));
  EXPECT_EQ(numbersOf(chosen.diagram->columns[1]), run(7, 9));
  const std::vector<MoRange> deep{{{MoName::Anchor::number, 1}, {MoName::Anchor::number, 2}}};
  EXPECT_DOUBLE_EQ(
      *buildLevelDiagram(spinSet(Spin::none, 9), deep, std::nullopt, "t").diagram->columns[0].gap,
      1.0);
}

TEST(LevelDiagramBuild, RefusesWhatTheFileCannotShow) {
  std::vector<OrbitalRow> unplaced = spinSet(Spin::none, 9);
  for (OrbitalRow& row : unplaced) row.frontier.clear();
  const std::vector<MoRange> beyond{{{MoName::Anchor::number, 30}, {MoName::Anchor::number, 40}}};
  const std::vector<MoRange> byNumber{{{MoName::Anchor::number, 2}, {MoName::Anchor::number, 3}}};
  const struct {
    std::vector<OrbitalRow> rows;
    std::optional<std::vector<MoRange>> selection;
    std::optional<Spin> spin;
    const char* reason;
  } cases[] = {
      {spinSet(Spin::none, 9), std::nullopt, Spin::beta, "no beta MOs"},
      {spinSet(Spin::none, 9), beyond, std::nullopt, "none of the MOs chosen"},
      {unplaced, std::nullopt, std::nullopt, "choose the MOs by number"},
      {{}, std::nullopt, std::nullopt, "holds no MOs"},
  };
  for (const auto& c : cases) {
    const auto built = buildLevelDiagram(c.rows, c.selection, c.spin, "t");
    EXPECT_FALSE(built.diagram) << c.reason;
    EXPECT_NE(built.error.find(c.reason), std::string::npos) << built.error;
  }
  EXPECT_TRUE(buildLevelDiagram(unplaced, byNumber, std::nullopt, "t").diagram);
}

}  // namespace
}  // namespace lobewright
