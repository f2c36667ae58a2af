#include "app/input_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <new>
#include <sstream>

#include "input/text_scan.h"

namespace lobewright {
namespace {

constexpr const char* kStandardInput = "-";
constexpr const char* kTooLarge = "larger than 2 GB";

std::optional<std::string> checkFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::strerror(errno);
  if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(status.st_mode)) return "not a regular file";
  if (static_cast<std::uintmax_t>(status.st_size) > kMaxInputBytes) return kTooLarge;
  return std::nullopt;
}

// Standard input is kept in memory, so it is checked as it arrives: no file this program reads
// has a line longer than kMaxLineLength, and an endless stream such as /dev/zero has no line end.
std::optional<std::string> readStandardInput(std::string& text) {
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  std::string piece(kPiece, '\0');
  std::size_t lineStart = 0;
  while (std::cin.read(piece.data(), kPiece) || std::cin.gcount() > 0) {
    text.append(piece.data(), static_cast<std::size_t>(std::cin.gcount()));
    if (text.size() > kMaxInputBytes) return kTooLarge;
    const std::size_t lastLineEnd = text.rfind('\n');
    if (lastLineEnd != std::string::npos && lastLineEnd >= lineStart) lineStart = lastLineEnd + 1;
    if (text.size() - lineStart > kMaxLineLength) return "a line longer than 1 MB";
  }
  if (std::cin.bad()) return "standard input could not be read";
  return std::nullopt;
}

}  // namespace

std::optional<InputSource> InputSource::load(const std::string& path, std::string& error) {
  InputSource source;
  source.m_path = path;
  if (path == kStandardInput) {
    // Standard input can be read only once, and a run may look at its input more than once.
    static std::mutex readOnce;
    static std::shared_ptr<const std::string> standardInput;
    static std::string standardInputProblem;
    const std::lock_guard lock(readOnce);
    if (!standardInput && standardInputProblem.empty()) {
      auto text = std::make_shared<std::string>();
      try {
        if (const auto problem = readStandardInput(*text)) {
          standardInputProblem = *problem;
        } else {
          standardInput = std::move(text);
        }
      } catch (const std::bad_alloc&) {
        standardInputProblem = "more than the memory holds";
      }
    }
    if (!standardInput) {
      error = standardInputProblem;
      return std::nullopt;
    }
    source.m_text = standardInput;
    return source;
  }
  if (const auto problem = checkFile(path)) {
    error = *problem;
    return std::nullopt;
  }
  source.m_file = std::make_shared<std::filebuf>();
  if (!source.m_file->open(path, std::ios::in | std::ios::binary)) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  return source;
}

std::unique_ptr<std::istream> InputSource::open(std::string& error) const {
  if (m_text) return std::make_unique<std::istringstream>(*m_text);
  if (m_file->pubseekpos(0, std::ios::in) != std::streampos(0)) {
    error = "the file cannot be read again from its start";
    return nullptr;
  }
  return std::make_unique<std::istream>(m_file.get());
}

namespace {

// "-" is standard input, which may itself be a file ("< caffeine.aux").
bool statOf(const std::string& path, struct stat& status) {
  if (path == kStandardInput) return ::fstat(STDIN_FILENO, &status) == 0;
  return ::stat(path.c_str(), &status) == 0;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return statOf(a, first) && statOf(b, second) && S_ISREG(first.st_mode) &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace lobewright
