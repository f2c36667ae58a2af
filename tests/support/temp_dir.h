#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace lobewright::testing {

// A fresh directory removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("lobewright-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(m_path);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] std::string file(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

}  // namespace lobewright::testing
