#include "writers/html_writer.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>

#include "writers/base64.h"
#include "writers/framed_pov_writer.h"
#include "writers/glb_writer.h"
#include "writers/scene_frame.h"

namespace lobewright {
namespace {

using nlohmann::json;

json jsonPoint(const Vec3& v) { return json::array({v.x, v.y, v.z}); }

// The view a page starts from: the framed pictures' direction, and the box in the camera's
// frame (right, up, back) that holds both lobes and, when shown, the atoms, as its centre and
// half extents; the page fits its camera to the box.
json startingView(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                  bool includeStructure) {
  const ViewBasis basis =
      pictureCamera({{&mesh}, &structure, includeStructure}, ViewDirection::best, 1.0).basis;

  Vec3 low{1e300, 1e300, 1e300};
  Vec3 high = -low;
  const auto extend = [&](const Vec3& p, double radius) {
    const Vec3 q{dot(p, basis.right), dot(p, basis.up), dot(p, basis.back)};
    low = {std::min(low.x, q.x - radius), std::min(low.y, q.y - radius),
           std::min(low.z, q.z - radius)};
    high = {std::max(high.x, q.x + radius), std::max(high.y, q.y + radius),
            std::max(high.z, q.z + radius)};
  };
  for (const LobeMesh* lobe : {&mesh.positive, &mesh.negative}) {
    for (const Vec3& p : lobe->positions) extend(p, 0.0);
  }
  if (includeStructure) {
    for (const StructureSphere& s : structure.spheres) extend(s.centre, s.radius);
  }
  if (low.x > high.x) low = high = Vec3{};
  const Vec3 middle = 0.5 * (low + high);
  const Vec3 centre = middle.x * basis.right + middle.y * basis.up + middle.z * basis.back;
  constexpr double kLeastHalfExtent = 0.5;  // Angstrom
  const Vec3 half = 0.5 * (high - low);
  return {{"centre", jsonPoint(centre)},
          {"halfExtent",
           jsonPoint({std::max(half.x, kLeastHalfExtent), std::max(half.y, kLeastHalfExtent),
                      std::max(half.z, kLeastHalfExtent)})},
          {"up", jsonPoint(basis.up)},
          {"back", jsonPoint(basis.back)}};
}

// JSON to stand inside a script element: "<" is written as an escape, so no text of the
// caption can end the element or open a comment.
std::string scriptSafe(const json& data) {
  const std::string text = data.dump(-1, ' ', false, json::error_handler_t::replace);
  std::string safe;
  safe.reserve(text.size());
  for (const char c : text) {
    if (c == '<') {
      safe += "\\u003c";
    } else {
      safe += c;
    }
  }
  return safe;
}

}  // namespace

MeshWriteResult writeHtml(std::ostream& out, const OrbitalMesh& mesh,
                          const BallAndStickModel& structure, const HtmlOptions& options) {
  std::ostringstream glb;
  if (MeshWriteResult written =
          writeGlb(glb, mesh, structure,
                   {options.colours, options.includeStructure, options.colouring, true});
      !written.succeeded()) {
    return written;
  }
  const json data = {
      {"caption", {{"title", options.caption.title}, {"details", options.caption.details}}},
      {"view", startingView(mesh, structure, options.includeStructure)},
      {"glb", base64(glb.view())},
  };
  const std::string_view page = htmlPageTemplate();
  const std::size_t marker = page.find(kHtmlDataMarker);
  out << page.substr(0, marker) << R"(<script type="application/json" id="lobewright-data">)"
      << scriptSafe(data) << "</script>" << page.substr(marker + kHtmlDataMarker.size());
  out.flush();
  return streamResult(out);
}

}  // namespace lobewright
