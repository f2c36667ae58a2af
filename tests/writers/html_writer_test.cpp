// The page's own bytes: what Chromium makes of it is the business of tests/web/page_test.mjs.
#include "writers/html_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "support/closed_meshes.h"
#include "writers/base64.h"
#include "writers/glb_writer.h"

namespace lobewright {
namespace {

using nlohmann::json;

TEST(Base64, PadsTheLastGroupAndTakesEveryByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"M", "TQ=="},
      {"Ma", "TWE="},
      {"Man", "TWFu"},
      {"glTF\x02", "Z2xURgI="},
      {std::string("\x00\xff\xfe\x80", 4), "AP/+gA=="},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(base64(bytes), text) << text;
}

struct WrittenPage {
  std::string text;
  json data;
};

WrittenPage writePage(const OrbitalMesh& mesh, const HtmlOptions& options) {
  std::ostringstream out;
  EXPECT_TRUE(
      writeHtml(out, mesh, buildBallAndStick(testing::formaldehyde()), options).succeeded());
  WrittenPage page{out.str(), {}};
  const std::string opening = R"(<script type="application/json" id="lobewright-data">)";
  const std::size_t start = page.text.find(opening) + opening.size();
  page.data = json::parse(page.text.substr(start, page.text.find("</script>", start) - start));
  return page;
}

TEST(HtmlWriter, ThePageCarriesTheGlbTheCaptionAndAViewOfEverything) {
  const OrbitalMesh mesh = testing::twoLobes();
  const BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
  HtmlOptions options;
  options.colours.positive = {1.0f, 0.5f, 0.0f};
  options.caption = {"formaldehyde.aux", {"MO 6 (HOMO)", "-11.000 eV"}};
  const WrittenPage page = writePage(mesh, options);

  std::ostringstream glb;
  ASSERT_TRUE(writeGlb(glb, mesh, structure, {options.colours, true}).succeeded());
  EXPECT_EQ(page.data["glb"], base64(glb.str()));
  EXPECT_EQ(page.data["caption"]["title"], "formaldehyde.aux");
  EXPECT_EQ(page.data["caption"]["details"], json({"MO 6 (HOMO)", "-11.000 eV"}));
  EXPECT_EQ(page.text.find(kHtmlDataMarker), std::string::npos);
  EXPECT_EQ(page.text.rfind(std::string(htmlPageTemplate().substr(0, 200)), 0), 0u);

  // The box in the camera's frame holds every vertex and atom: seen from the centre, none lies
  // beyond the half extents along right (up x back), up and back.
  const json& view = page.data["view"];
  const auto vec = [](const json& v) { return Vec3{v[0], v[1], v[2]}; };
  const Vec3 up = vec(view["up"]);
  const Vec3 back = vec(view["back"]);
  const Vec3 axes[] = {cross(up, back), up, back};
  const Vec3 half = vec(view["halfExtent"]);
  const double halves[] = {half.x, half.y, half.z};
  std::vector<std::pair<Vec3, double>> points;
  for (const LobeMesh* lobe : {&mesh.positive, &mesh.negative}) {
    for (const Vec3& p : lobe->positions) points.emplace_back(p, 0.0);
  }
  for (const StructureSphere& s : structure.spheres) points.emplace_back(s.centre, s.radius);
  for (int axis = 0; axis < 3; ++axis) {
    double reach = 0.0;
    for (const auto& [p, radius] : points) {
      reach = std::max(reach, std::abs(dot(p - vec(view["centre"]), axes[axis])) + radius);
    }
    EXPECT_NEAR(reach, halves[axis], 1e-9) << axis;
  }
}

TEST(HtmlWriter, CaptionTextCannotEndTheScriptOrOpenAComment) {
  HtmlOptions options;
  options.caption = {"</script><script>alert(1)</script><!--.aux", {"<b>", "\xff\xfe"}};
  const WrittenPage page = writePage(testing::twoLobes(), options);
  EXPECT_EQ(page.text.find("<script>alert"), std::string::npos);
  EXPECT_EQ(page.text.find("<b>"), std::string::npos);
  EXPECT_EQ(page.data["caption"]["title"], options.caption.title);
  // Bytes that are not UTF-8 are replaced rather than breaking the JSON.
  EXPECT_EQ(page.data["caption"]["details"][1], "\xef\xbf\xbd\xef\xbf\xbd");
}

TEST(HtmlWriter, AnEmptySurfaceStillGivesAPageAndABrokenMeshNone) {
  HtmlOptions options;
  options.includeStructure = false;
  const WrittenPage page = writePage({}, options);
  EXPECT_EQ(page.data["view"]["halfExtent"], json({0.5, 0.5, 0.5}));

  OrbitalMesh broken = testing::twoLobes();
  broken.negative.triangles.push_back({0, 1, 99999});
  std::ostringstream out;
  EXPECT_FALSE(writeHtml(out, broken, {}, {}).succeeded());
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace lobewright
