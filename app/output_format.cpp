#include "app/output_format.h"

#include <algorithm>
#include <cctype>

namespace lobewright {

const std::vector<OutputFormat>& outputFormats() {
  static const std::vector<OutputFormat> kFormats = {
      {OutputKind::PovRay, "pov", ".pov", "POVray"},
      {OutputKind::LScript, "ls", ".ls", "LScript"},
      {OutputKind::Cube, "cube", ".cube", "Gaussian cube"},
      {OutputKind::Gltf, "glb", ".glb", "glTF binary"},
      {OutputKind::Obj, "obj", ".obj", "Wavefront OBJ"},
      {OutputKind::Ply, "ply", ".ply", "PLY"},
      {OutputKind::Stl, "stl", ".stl", "STL"},
      {OutputKind::Png, "png", ".png", "PNG picture"},
      {OutputKind::Html, "html", ".html", "web page"},
  };
  return kFormats;
}

const OutputFormat& outputFormat(OutputKind kind) {
  const auto& formats = outputFormats();
  return *std::find_if(formats.begin(), formats.end(),
                       [kind](const OutputFormat& f) { return f.kind == kind; });
}

std::optional<OutputKind> outputKindNamed(std::string_view name) {
  for (const OutputFormat& format : outputFormats()) {
    if (format.name == name) return format.kind;
  }
  return std::nullopt;
}

std::optional<OutputKind> outputKindOfPath(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string extension(path.substr(dot));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const OutputFormat& format : outputFormats()) {
    if (format.extension == extension) return format.kind;
  }
  return std::nullopt;
}

bool usesWatertightSurface(const ConversionSettings& settings) {
  switch (settings.outputKind) {
    case OutputKind::PovRay:
      return settings.picture.frame;
    case OutputKind::LScript:
    case OutputKind::Cube:
      return false;
    case OutputKind::Gltf:
    case OutputKind::Obj:
    case OutputKind::Ply:
    case OutputKind::Stl:
    case OutputKind::Png:
    case OutputKind::Html:
      return true;
  }
  return false;
}

}  // namespace lobewright
