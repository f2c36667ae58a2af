#include "app/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <streambuf>
#include <vector>

namespace lobewright {

// Writes through a large buffer to a file descriptor and remembers whether any write failed.
// Once the stop is requested it takes nothing more, so the stream fails at the next write.
class FileStreamBuffer : public std::streambuf {
 public:
  FileStreamBuffer(int descriptor, std::stop_token stop)
      : m_descriptor(descriptor), m_stop(std::move(stop)), m_buffer(kBytes) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
  }

  // The error number of the write that failed, 0 if none did.
  [[nodiscard]] int error() const { return m_error; }
  [[nodiscard]] bool wasStopped() const { return m_stopped; }

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (stopped()) return 0;
    return std::streambuf::xsputn(text, count);
  }

  int_type overflow(int_type c) override {
    if (stopped() || !drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return !stopped() && drain() ? 0 : -1; }

 private:
  // Scenes run to many megabytes: they are written in large pieces.
  static constexpr std::size_t kBytes = std::size_t{1} << 20;

  bool stopped() {
    if (!m_stopped && m_stop.stop_requested()) m_stopped = true;
    return m_stopped;
  }

  bool drain() {
    const char* next = pbase();
    while (m_error == 0 && next < pptr()) {
      const ssize_t written = ::write(m_descriptor, next, static_cast<std::size_t>(pptr() - next));
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) m_error = errno;
      if (written == 0) m_error = EIO;
      if (written > 0) next += written;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
  }

  int m_descriptor;
  std::stop_token m_stop;
  std::vector<char> m_buffer;
  int m_error = 0;
  bool m_stopped = false;
};

namespace {

namespace fs = std::filesystem;

constexpr int kNoDescriptor = -1;
// Links are followed at most this deep, as the system itself does.
constexpr int kMaxLinkDepth = 40;
constexpr int kNewFileMode = 0666;  // narrowed by the user's umask

// The path with every symbolic link at its end resolved, even one that names no file yet.
fs::path followLinks(fs::path path, std::string& error) {
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    std::error_code code;
    if (!fs::is_symlink(fs::symlink_status(path, code))) return path;
    const fs::path target = fs::read_symlink(path, code);
    if (code) {
      error = code.message();
      return {};
    }
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  error = std::strerror(ELOOP);
  return {};
}

std::string temporaryName(const std::string& base) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = "." + base + ".part-";
  for (int i = 0; i < 10; ++i) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return name;
}

// The path by which a file that has no name can still be linked into a folder.
std::string procPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

}  // namespace

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path, std::string& error,
                                             std::stop_token stop) {
  if (path.empty()) {
    error = "no file name given";
    return nullptr;
  }
  const fs::path target = followLinks(path, error);
  if (target.empty()) return nullptr;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    error = std::strerror(EISDIR);
    return nullptr;
  }
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  const bool folderWritable = ::access(folder.c_str(), W_OK | X_OK) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || !folderWritable)) {
    const int descriptor = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) {
      error = std::strerror(errno);
      return nullptr;
    }
    return std::unique_ptr<OutputFile>(
        new OutputFile(target, descriptor, kNoDescriptor, false, std::move(stop)));
  }

  const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  const int descriptor =
      ::openat(folderDescriptor, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0 || ::access(procPath(descriptor).c_str(), F_OK) != 0) {
    error = descriptor < 0 ? std::strerror(errno) : "/proc is not available";
    if (descriptor >= 0) ::close(descriptor);
    ::close(folderDescriptor);
    return nullptr;
  }
  if (exists && ::fchmod(descriptor, existing.st_mode & 07777) != 0) {
    error = std::strerror(errno);
    ::close(descriptor);
    ::close(folderDescriptor);
    return nullptr;
  }
  return std::unique_ptr<OutputFile>(
      new OutputFile(target, descriptor, folderDescriptor, true, std::move(stop)));
}

OutputFile::OutputFile(std::string target, int descriptor, int folder, bool replaces,
                       std::stop_token stop)
    : m_target(std::move(target)),
      m_descriptor(descriptor),
      m_folder(folder),
      m_replaces(replaces),
      m_buffer(std::make_unique<FileStreamBuffer>(descriptor, std::move(stop))),
      m_stream(m_buffer.get()) {
  m_stream.exceptions(std::ios::badbit);
}

OutputFile::~OutputFile() {
  if (!m_done) discard();
}

void OutputFile::discard() {
  m_done = true;
  ::close(m_descriptor);
  if (m_folder != kNoDescriptor) ::close(m_folder);
}

bool OutputFile::commit() {
  if (m_done) return false;
  // The buffer is flushed directly: a failure here is an answer, not an exception.
  const bool written = m_buffer->pubsync() == 0 && !m_stream.fail();
  if (!m_replaces) {
    m_done = true;
    if (::close(m_descriptor) != 0 && written) {
      m_failure = std::strerror(errno);
      return false;
    }
    return written;
  }
  if (!written) {
    discard();
    return false;
  }
  const std::string base = fs::path(m_target).filename();
  std::string name;
  int linked = -1;
  for (int attempt = 0; attempt < 100 && linked != 0; ++attempt) {
    name = temporaryName(base);
    linked = ::linkat(AT_FDCWD, procPath(m_descriptor).c_str(), m_folder, name.c_str(),
                      AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno != EEXIST) break;
  }
  bool placed = linked == 0 && ::renameat(m_folder, name.c_str(), m_folder, base.c_str()) == 0;
  if (!placed) m_failure = std::strerror(errno);
  if (linked == 0 && !placed) ::unlinkat(m_folder, name.c_str(), 0);
  m_done = true;
  if (::close(m_descriptor) != 0 && placed) {
    m_failure = std::strerror(errno);
    placed = false;
  }
  ::close(m_folder);
  return placed;
}

std::string OutputFile::failure() const {
  if (m_buffer->error() != 0) return std::strerror(m_buffer->error());
  if (m_buffer->wasStopped()) return "the run was stopped";
  if (m_stream.fail()) return "the text could not be written";
  return m_failure;
}

}  // namespace lobewright
