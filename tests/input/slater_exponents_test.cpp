#include "input/slater_exponents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/recording_sink.h"

namespace lobewright {
namespace {

// Every row of the table file comes back from the compiled-in copy, field for field.
TEST(SlaterExponents, EveryRowOfTheTableFileIsCompiledIn) {
  std::ifstream file(testing::dataPath("../../input/data/mopac-slater-exponents.tsv"));
  ASSERT_TRUE(file);
  std::string line;
  std::getline(file, line);
  int rows = 0;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    std::string method;
    std::string symbol;
    SlaterShell s;
    fields >> method >> symbol >> s.n >> s.zeta;
    const std::optional<ShellExponents> shells = slaterExponents(method, symbol);
    ASSERT_TRUE(shells) << line;
    EXPECT_EQ(shells->s.n, s.n) << line;
    EXPECT_EQ(shells->s.zeta, s.zeta) << line;
    SlaterShell p;
    if (fields >> p.n >> p.zeta) {
      ASSERT_TRUE(shells->p) << line;
      EXPECT_EQ(shells->p->zeta, p.zeta) << line;
    } else {
      EXPECT_FALSE(shells->p) << line;
    }
    SlaterShell d;
    EXPECT_EQ(static_cast<bool>(fields >> d.n >> d.zeta), shells->d.has_value()) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 401);
}

// The classic model's PM3 parameter file holds the same exponents as the table's PM3 rows.
TEST(SlaterExponents, Pm3RowsAreTheClassicParameters) {
  std::ifstream file(testing::dataPath("pm3r.txt"));
  int count = 0;
  file >> count;
  for (int i = 0; i < count; ++i) {
    std::string symbol;
    double zetaS = 0.0;
    double zetaP = 0.0;
    int shellType = 0;
    file >> symbol >> zetaS;
    if (symbol != "H") file >> zetaP;
    file >> shellType;
    const std::optional<ShellExponents> shells = slaterExponents("PM3", symbol);
    ASSERT_TRUE(shells) << symbol;
    EXPECT_EQ(shells->s.zeta, zetaS) << symbol;
    EXPECT_EQ(shells->p.has_value(), symbol != "H") << symbol;
    if (shells->p) {
      EXPECT_EQ(shells->p->zeta, zetaP) << symbol;
    }
    EXPECT_FALSE(shells->d) << symbol;
  }
  EXPECT_EQ(count, 10);
}

TEST(SlaterExponents, MethodsAndSymbolsAsMopacWritesThem) {
  struct Case {
    const char* method;
    const char* symbol;
    int nS;
    int nD;  // 0: no d shell
    double zetaD;
  };
  const Case cases[] = {
      {"PM7", "Cl", 3, 3, 0.949994},      {"pm7", "CL", 3, 3, 0.949994},
      {"PM6-D3H4", "Fe", 4, 3, 1.080747}, {"PM6-DH+", "S", 3, 3, 3.109401},
      {"PM3", "Cl", 3, 0, 0.0},           {"PM7", "Ne", 3, 0, 0.0},
      {"PM7-TS", "P", 3, 3, 0.6727},
  };
  for (const Case& c : cases) {
    const std::optional<ShellExponents> shells = slaterExponents(c.method, c.symbol);
    ASSERT_TRUE(shells) << c.method << ' ' << c.symbol;
    EXPECT_EQ(shells->s.n, c.nS) << c.method << ' ' << c.symbol;
    EXPECT_EQ(shells->d.has_value(), c.nD > 0) << c.method << ' ' << c.symbol;
    if (shells->d) {
      EXPECT_EQ(shells->d->n, c.nD);
      EXPECT_EQ(shells->d->zeta, c.zetaD);
    }
  }
  EXPECT_EQ(exponentTableMethod("PM6-D3H4X"), "PM6");
  EXPECT_EQ(exponentTableMethod("am1"), "AM1");
  // PM7-TS has exponents of its own for H, C, N, O, F, P and Cl.
  EXPECT_EQ(exponentTableMethod("PM7-TS"), "PM7-TS");
  EXPECT_NE(slaterExponents("PM7-TS", "O")->s.zeta, slaterExponents("PM7", "O")->s.zeta);
  for (const char* unknown : {"PM5", "", "PM7 ", "HF"}) {
    EXPECT_FALSE(exponentTableMethod(unknown)) << '"' << unknown << '"';
  }
  EXPECT_FALSE(slaterExponents("AM1", "Fe"));
  EXPECT_FALSE(slaterExponents("PM7", "Xx"));
  EXPECT_FALSE(slaterExponents("PM7", "Ce"));
}

}  // namespace
}  // namespace lobewright
