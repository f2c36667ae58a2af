#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <string>

namespace lobewright {

// Larger inputs are refused: a MOPAC file of a thousand atoms with every MO at full precision
// stays well below this, and a runaway input must not be read into memory.
inline constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{2} << 30;

// A file to read, checked and opened once: a regular file no larger than kMaxInputBytes, or "-"
// for standard input (read once in the process, up to the same size, and kept for every later
// reading). Devices, pipes and folders are refused, so an input can never block or run on
// forever.
class InputSource {
 public:
  // The source, or nothing with the reason in `error` ("No such file or directory", ...).
  [[nodiscard]] static std::optional<InputSource> load(const std::string& path, std::string& error);

  // A stream over the whole text from its start, or nothing with the reason in `error`. A file is
  // read through the one descriptor opened by load, so a stream must be done with before the
  // next is opened.
  [[nodiscard]] std::unique_ptr<std::istream> open(std::string& error) const;

  [[nodiscard]] const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  std::shared_ptr<const std::string> m_text;  // standard input's text
  std::shared_ptr<std::filebuf> m_file;
};

// Whether the two paths name one existing regular file (symbolic and hard links included); "-"
// names whatever standard input is.
[[nodiscard]] bool sameFile(const std::string& a, const std::string& b);

}  // namespace lobewright
