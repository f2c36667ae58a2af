#include "app/picture_renderer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

#include "app/messages.h"

extern char** environ;

namespace lobewright {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRenderer = "povray";
constexpr int kPollMilliseconds = 50;
// Lines of POV-Ray's own report kept for a message when it fails.
constexpr std::size_t kReportLinesKept = 6;

// A folder of its own under the system's temporary folder, removed with its contents.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "lobewright-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  [[nodiscard]] const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

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
      m_progress(std::atoi(match[1].str().c_str()));
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
  if (folder.path().empty()) return {"Cannot make a temporary folder for the picture."};
  const fs::path scene = folder.path() / "scene.pov";
  const fs::path picture = folder.path() / "picture.png";
  {
    std::ofstream file(scene, std::ios::binary);
    file << request.scene;
    if (!file.flush()) return {"Cannot write the scene for the picture."};
  }

  const std::vector<std::string> arguments = {
      kRenderer,
      "+I" + scene.string(),
      "+O" + picture.string(),
      "+W" + std::to_string(request.width),
      "+H" + std::to_string(request.height),
      "+FN",
      "+A0.3",
      "-D",
      "-P",
  };
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return {kCannotStartPovRayMessage};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, report[1], STDERR_FILENO);
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, kRenderer, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(report[1]);
  if (spawned != 0) {
    ::close(report[0]);
    return {spawned == ENOENT ? kNoPovRayMessage : kCannotStartPovRayMessage};
  }

  ReportReader reader(request.progress);
  bool cancelled = false;
  char buffer[4096];
  for (;;) {
    if (request.stop.stop_requested() && !cancelled) {
      ::kill(child, SIGKILL);
      cancelled = true;
    }
    pollfd ready{report[0], POLLIN, 0};
    if (::poll(&ready, 1, kPollMilliseconds) <= 0) continue;
    const ssize_t got = ::read(report[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    reader.take(buffer, static_cast<std::size_t>(got));
  }
  reader.finish();
  ::close(report[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (cancelled) return {{}, true};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {"POV-Ray could not render the picture:\n" + reader.lastLines()};
  }

  std::ifstream png(picture, std::ios::binary);
  if (!png) return {"POV-Ray wrote no picture."};
  out << png.rdbuf();
  if (!out) return {"Cannot write the picture."};
  return {};
}

}  // namespace lobewright
