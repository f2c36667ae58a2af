// A surface drawn in its lobes' colours is written byte for byte as before surfaces could be
// coloured by a field: every mesh format and the framed scene against files kept from then.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "support/closed_meshes.h"
#include "support/golden.h"
#include "writers/framed_pov_writer.h"
#include "writers/glb_writer.h"
#include "writers/obj_writer.h"
#include "writers/ply_writer.h"

namespace lobewright {
namespace {

TEST(UncolouredMeshFiles, StayByteForByteAsTheyWere) {
  const OrbitalMesh mesh = testing::twoLobes(0);
  const BallAndStickModel structure = buildBallAndStick({{"C", {0, 0, 0}}, {"O", {0, 0, 1.21}}});
  const struct {
    const char* golden;
    std::function<MeshWriteResult(std::ostream&)> write;
  } cases[] = {
      {"uncoloured.glb", [&](std::ostream& out) { return writeGlb(out, mesh, structure); }},
      {"uncoloured.ply", [&](std::ostream& out) { return writePly(out, mesh, structure); }},
      {"uncoloured.obj", [&](std::ostream& out) { return writeObj(out, mesh, structure); }},
      {"uncoloured.mtl", [&](std::ostream& out) { return writeMtl(out, mesh, structure); }},
      {"uncoloured-framed.pov",
       [&](std::ostream& out) { return writeFramedPovScene(out, mesh, structure); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    std::ostringstream out;
    ASSERT_TRUE(c.write(out).succeeded());
    testing::expectMatchesGolden(out.str(), c.golden);
  }
}

}  // namespace
}  // namespace lobewright
