#include "app/svg_renderer.h"

#include <cerrno>
#include <fstream>
#include <vector>

#include "app/child_process.h"
#include "app/messages.h"
#include "app/temporary_folder.h"

namespace lobewright {
namespace {

constexpr const char* kRsvgProgram = "rsvg-convert";
constexpr std::size_t kReportBytesKept = 2000;

}  // namespace

PictureResult renderSvg(const std::string& svg, int width, int height, std::stop_token stop,
                        std::ostream& out) {
  const TemporaryFolder folder;
  if (folder.path().empty()) {
    return {"Cannot make a temporary folder for the picture.\n" + folder.problem()};
  }
  const std::filesystem::path drawing = folder.path() / "drawing.svg";
  const std::filesystem::path picture = folder.path() / "picture.png";
  {
    std::ofstream file(drawing, std::ios::binary);
    file << svg;
    if (!file.flush()) return {"Cannot write the drawing for the picture."};
  }
  // --unlimited: a gallery's embedded pictures make a large document.
  const std::vector<std::string> arguments = {
      kRsvgProgram, "--unlimited",          "--width",       std::to_string(width),
      "--height",   std::to_string(height), "--format",      "png",
      "--output",   picture.string(),       drawing.string()};
  std::string report;
  const ChildRun run = runChild(arguments, stop, [&report](std::string_view piece) {
    if (report.size() < kReportBytesKept) report.append(piece.substr(0, kReportBytesKept));
  });
  if (run.startError != 0)
    return {run.startError == ENOENT ? kNoSvgRendererMessage : kCannotStartSvgRendererMessage};
  if (run.cancelled) return {{}, true};
  if (!run.succeeded) return {"librsvg could not render the picture:\n" + report};
  std::ifstream png(picture, std::ios::binary);
  if (!png) return {"librsvg wrote no picture."};
  out << png.rdbuf();
  if (!out) return {"Cannot write the picture."};
  return {};
}

}  // namespace lobewright
