#include "app/picture_renderer.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

#include "app/child_process.h"
#include "app/messages.h"
#include "app/temporary_folder.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPovRayProgram = "povray";
// Lines of POV-Ray's own report kept for a message when it fails.
constexpr std::size_t kReportLinesKept = 6;

// POV-Ray's report arrives in pieces; its progress lines read "Rendered 1024 of 76800 pixels
// (1%)" and end in a carriage return or a line feed.
class ReportReader {
 public:
  explicit ReportReader(const std::function<void(int)>& progress) : m_progress(progress) {}

  void take(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      const char c = data[i];
      if (c != '\r' && c != '\n') {
        if (m_line.size() < 4096) m_line.push_back(c);
        continue;
      }
      endLine();
    }
  }

  void finish() { endLine(); }

  [[nodiscard]] std::string lastLines() const {
    std::string text;
    for (const std::string& line : m_lines) text += (text.empty() ? "" : "\n") + line;
    return text;
  }

 private:
  void endLine() {
    static const std::regex kProgress(R"(Rendered \d+ of \d+ pixels \((\d+)%\))");
    std::smatch match;
    if (std::regex_search(m_line, match, kProgress)) {
      // The renderer's number is taken as it comes, so it is held to 0..100 before it is used.
      const std::string digits = match[1].str();
      int percent = 100;
      const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), percent);
      if (parsed.ec != std::errc() || percent > 100) percent = 100;
      m_progress(percent);
    } else if (!m_line.empty() && m_line.find_first_not_of(' ') != std::string::npos) {
      m_lines.push_back(m_line);
      if (m_lines.size() > kReportLinesKept) m_lines.erase(m_lines.begin());
    }
    m_line.clear();
  }

  const std::function<void(int)>& m_progress;
  std::string m_line;
  std::vector<std::string> m_lines;
};

}  // namespace

PictureResult renderPicture(const PictureRequest& request, std::ostream& out) {
  const TemporaryFolder folder;
  if (folder.path().empty()) {
    return {"Cannot make a temporary folder for the picture.\n" + folder.problem()};
  }
  const fs::path scene = folder.path() / "scene.pov";
  const fs::path picture = folder.path() / "picture.png";
  {
    std::ofstream file(scene, std::ios::binary);
    file << request.scene;
    if (!file.flush()) return {"Cannot write the scene for the picture."};
  }

  // POV-Ray splits its options at blanks, so it runs in the folder and is given bare names: a
  // temporary folder may have a blank in its path.
  const std::vector<std::string> arguments = {
      kPovRayProgram,
      "+I" + scene.filename().string(),
      "+O" + picture.filename().string(),
      "+W" + std::to_string(request.width),
      "+H" + std::to_string(request.height),
      "+FN",
      "+A0.3",
      "-D",
      "-P",
  };
  ReportReader reader(request.progress);
  const ChildRun run = runChild(
      arguments, request.stop,
      [&reader](std::string_view piece) { reader.take(piece.data(), piece.size()); },
      folder.path().string());
  reader.finish();
  if (run.startError != 0) {
    return {run.startError == ENOENT ? kNoPovRayMessage : kCannotStartPovRayMessage};
  }
  if (run.cancelled) return {{}, true};
  if (!run.succeeded) return {"POV-Ray could not render the picture:\n" + reader.lastLines()};

  std::ifstream png(picture, std::ios::binary);
  if (!png) return {"POV-Ray wrote no picture."};
  out << png.rdbuf();
  if (!out) return {"Cannot write the picture."};
  return {};
}

}  // namespace lobewright
