#include "writers/framed_pov_writer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "writers/mesh_parts.h"
#include "writers/pov_colour_bar.h"
#include "writers/real_format.h"
#include "writers/scene_text.h"

namespace lobewright {
namespace {

void appendVector(std::string& text, const Vec3& v) {
  text.push_back('<');
  appendReal(text, v.x);
  text.push_back(',');
  appendReal(text, v.y);
  text.push_back(',');
  appendReal(text, v.z);
  text.push_back('>');
}

// POV-Ray takes colours as linear light here (assumed_gamma 1), ours are sRGB.
std::string linearColour(const Rgb& colour, double transmit) {
  std::string text = "rgbt <";
  for (const float component : {colour.r, colour.g, colour.b}) {
    appendReal(text, linearFromSrgb(component));
    text.push_back(',');
  }
  appendReal(text, transmit);
  return text + ">";
}

// A mesh2's vertex_vectors and normal_vectors, up to the closing brace of the normals.
void appendVertices(std::string& text, const LobeMesh& lobe) {
  text += "    vertex_vectors { " + std::to_string(lobe.positions.size());
  for (const Vec3& p : lobe.positions) {
    text += ",\n      ";
    appendVector(text, p);
  }
  text += " }\n    normal_vectors { " + std::to_string(lobe.normals.size());
  for (const Vec3& n : lobe.normals) {
    text += ",\n      ";
    appendVector(text, n);
  }
}

void writeLobe(std::ostream& out, const LobeMesh& lobe, const char* texture) {
  if (lobe.triangles.empty()) return;
  std::string text = "  mesh2 {\n";
  appendVertices(text, lobe);
  text += " }\n    face_indices { " + std::to_string(lobe.triangles.size());
  for (const auto& t : lobe.triangles) {
    text += ",\n      <" + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," +
            std::to_string(t[2]) + ">";
  }
  text += " }\n    texture { ";
  text += texture;
  text += " }\n  }\n";
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A lobe coloured vertex by vertex: each vertex takes a texture of the lobe's list, one per
// colour as 8-bit sRGB makes them distinct, which keeps the list short along a palette.
void writeColouredLobe(std::ostream& out, const LobeMesh& lobe, const std::vector<Rgb>& colours,
                       double transmit) {
  if (lobe.triangles.empty()) return;
  const auto byte = [](float c) { return std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f); };
  std::map<long, std::size_t> textureOf;
  std::vector<std::size_t> vertexTexture;
  std::string textures;
  for (const Rgb& c : colours) {
    const long key = (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
    const auto [entry, added] = textureOf.try_emplace(key, textureOf.size());
    if (added) {
      textures += ",\n      texture { pigment { color " + linearColour(c, transmit) +
                  " } finish { Lobe } }";
    }
    vertexTexture.push_back(entry->second);
  }
  std::string text = "  mesh2 {\n";
  appendVertices(text, lobe);
  text += " }\n    texture_list { " + std::to_string(textureOf.size()) + textures;
  text += " }\n    face_indices { " + std::to_string(lobe.triangles.size());
  for (const auto& t : lobe.triangles) {
    text += ",\n      <" + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," +
            std::to_string(t[2]) + ">, " + std::to_string(vertexTexture[t[0]]) + ", " +
            std::to_string(vertexTexture[t[1]]) + ", " + std::to_string(vertexTexture[t[2]]);
  }
  text += " }\n  }\n";
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The model without what lies in front of the camera frame's front.
void writeStructure(std::ostream& out, const BallAndStickModel& structure,
                    const CameraFrame& frame) {
  const auto inFront = [&frame](const Vec3& p, double radius) {
    return frame.front && dot(p - frame.centre, frame.basis.back) - radius > *frame.front;
  };
  std::string text;
  for (const StructureSphere& s : structure.spheres) {
    if (inFront(s.centre, s.radius)) continue;
    text += "  sphere { ";
    appendVector(text, s.centre);
    text += ", ";
    appendReal(text, s.radius);
    text +=
        " texture { pigment { color " + linearColour(s.colour, 0.0) + " } finish { Atom } } }\n";
  }
  for (const StructureStick& s : structure.sticks) {
    if (inFront(s.start, 0.0) || inFront(s.end, 0.0)) continue;
    text += "  cylinder { ";
    appendVector(text, s.start);
    text += ", ";
    appendVector(text, s.end);
    text += ", ";
    appendReal(text, s.radius);
    text +=
        " texture { pigment { color " + linearColour(s.colour, 0.0) + " } finish { Atom } } }\n";
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Moves the molecule into the camera's frame: the camera sits at the origin looking along +z,
// with the picture's right along x and its up along y, as POV-Ray's own camera has them.
std::string cameraTransform(const CameraFrame& frame) {
  const ViewBasis& b = frame.basis;
  const Vec3& c = frame.centre;
  std::string text = "matrix <";
  const double entries[] = {b.right.x,        b.up.x,        -b.back.x,
                            b.right.y,        b.up.y,        -b.back.y,
                            b.right.z,        b.up.z,        -b.back.z,
                            -dot(c, b.right), -dot(c, b.up), dot(c, b.back) + frame.distance};
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    if (i > 0) text.push_back(',');
    appendReal(text, entries[i]);
  }
  return text + ">";
}

}  // namespace

MeshWriteResult writeFramedPovScene(std::ostream& out, const OrbitalMesh& mesh,
                                    const BallAndStickModel& structure,
                                    const FramedSceneOptions& options) {
  const SurfaceColouring* colouring = options.colouring;
  if (colouring) {
    for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
      if (std::string problem =
              checkColouredMesh(mesh.lobe(sign), colouring->of(sign),
                                sign == LobeSign::positive ? "positive" : "negative");
          !problem.empty()) {
        return {std::move(problem)};
      }
    }
  }
  const PictureSubject subject{{&mesh}, &structure, options.includeStructure};
  const double barShare = colouring ? colourBarShare(options.aspect) : 0.0;
  const CameraFrame frame =
      options.camera ? *options.camera
      : options.turnedView
          ? turnedCamera(subject, *options.turnedView, options.zoom, options.aspect, barShare)
          : pictureCamera(subject, options.view, options.aspect, barShare);
  const double transmit = std::clamp(options.transparency, 0.0, 1.0);
  const double d = frame.distance;

  std::string text = "// Lobewright " + std::string(kProgramVersion) +
                     ": a framed picture of one orbital, lengths in Angstrom\n";
  text += "#version 3.7;\nglobal_settings { assumed_gamma 1.0 }\n";
  text += "background { color rgb <1,1,1> }\n";
  text += "camera { perspective location <0,0,0> look_at <0,0,1> right x*";
  appendReal(text, options.aspect);
  text += " up y angle ";
  appendReal(text, frame.horizontalAngle);
  text += " }\n";
  // A key light above and to the left of the camera, and a weaker one at the camera.
  text += "light_source { ";
  appendVector(text, {-0.6 * d, 0.8 * d, -0.2 * d});
  text += " color rgb 0.85 }\nlight_source { <0,0,0> color rgb 0.35 shadowless }\n";
  text +=
      "#declare Lobe = finish { ambient 0.12 diffuse 0.75 specular 0.35 roughness "
      "0.02 }\n";
  text +=
      "#declare Atom = finish { ambient 0.12 diffuse 0.8 specular 0.2 roughness 0.05 "
      "}\n";
  text += "#declare Positive = texture { pigment { color " +
          linearColour(options.colours.positive, transmit) + " } finish { Lobe } }\n";
  text += "#declare Negative = texture { pigment { color " +
          linearColour(options.colours.negative, transmit) + " } finish { Lobe } }\n";
  text += "#declare Molecule = union {\n";
  out.write(text.data(), static_cast<std::streamsize>(text.size()));

  if (colouring) {
    writeColouredLobe(out, mesh.positive, colouring->positive, transmit);
    writeColouredLobe(out, mesh.negative, colouring->negative, transmit);
  } else {
    writeLobe(out, mesh.positive, "Positive");
    writeLobe(out, mesh.negative, "Negative");
  }
  if (options.includeStructure) writeStructure(out, structure, frame);
  // POV-Ray refuses an empty union: a point of light that is never seen keeps it
  // whole.
  text = "  sphere { <0,0,0>, 0 no_image no_shadow }\n}\nobject { Molecule " +
         cameraTransform(frame) + " }\n";
  if (colouring) text += povColourBar(colouring->scale, options.aspect, frame.horizontalAngle);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return streamResult(out);
}

}  // namespace lobewright
