#pragma once

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/signal_cleanup.h"

namespace lobewright {

// A folder of its own under the system's temporary folder (TMPDIR, else /tmp), removed with its
// contents, also when a signal ends the process; an empty path, with the reason, when it could
// not be made.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
      const char* named = ::getenv("TMPDIR");
      m_problem = (named != nullptr ? std::string("TMPDIR names ") + named : std::string("/tmp")) +
                  ": " + error.message();
      return;
    }
    m_path = makeTrackedFolder((base / "lobewright-XXXXXX").string());
    if (m_path.empty()) m_problem = base.string() + ": " + std::strerror(errno);
  }
  ~TemporaryFolder() {
    if (!m_path.empty()) removeTrackedFolder(m_path);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
  // Why there is no folder: "/tmp: No space left on device".
  [[nodiscard]] const std::string& problem() const { return m_problem; }

 private:
  std::filesystem::path m_path;
  std::string m_problem;
};

}  // namespace lobewright
