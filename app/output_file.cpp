#include "app/output_file.h"

#include <fcntl.h>
#include <linux/falloc.h>
#include <sys/mman.h>
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
constexpr std::size_t kCopyBytes = std::size_t{1} << 20;

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

// Short whatever the target's name, so that a name as long as the system allows can be replaced.
std::string temporaryName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".lobewright-";
  for (int i = 0; i < 10; ++i) name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return name;
}

// The path by which a file that has no name can still be linked into a folder.
std::string procPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

void closeIfOpen(int descriptor) {
  if (descriptor != kNoDescriptor) ::close(descriptor);
}

// A nameless file in the folder for the new text, with the old file's permissions, owner and
// group; kNoDescriptor with the reason in `error`, or with `error` empty when the owner and group
// cannot be kept.
int replacementFor(int folder, const struct stat* existing, std::string& error) {
  const int descriptor = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0 || ::access(procPath(descriptor).c_str(), F_OK) != 0) {
    error = descriptor < 0 ? std::strerror(errno) : "/proc is not available";
    closeIfOpen(descriptor);
    return kNoDescriptor;
  }
  if (existing == nullptr) return descriptor;
  struct stat made {};
  // The owner first: a change of owner clears the set-user-ID and set-group-ID bits.
  const bool sameOwner = ::fstat(descriptor, &made) == 0 && made.st_uid == existing->st_uid &&
                         made.st_gid == existing->st_gid;
  if (!sameOwner && ::fchown(descriptor, existing->st_uid, existing->st_gid) != 0) {
    ::close(descriptor);
    return kNoDescriptor;
  }
  if (::fchmod(descriptor, existing->st_mode & 07777) != 0) {
    error = std::strerror(errno);
    ::close(descriptor);
    return kNoDescriptor;
  }
  return descriptor;
}

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
  if (exists && !S_ISREG(existing.st_mode)) {
    const int descriptor = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) {
      error = std::strerror(errno);
      return nullptr;
    }
    return std::unique_ptr<OutputFile>(new OutputFile(
        target, Way::direct, descriptor, kNoDescriptor, kNoDescriptor, std::move(stop)));
  }

  if (!exists || ::access(folder.c_str(), W_OK | X_OK) == 0) {
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor < 0) {
      error = std::strerror(errno);
      return nullptr;
    }
    std::string problem;
    const int descriptor = replacementFor(folderDescriptor, exists ? &existing : nullptr, problem);
    if (descriptor != kNoDescriptor) {
      return std::unique_ptr<OutputFile>(new OutputFile(
          target, Way::replace, descriptor, folderDescriptor, kNoDescriptor, std::move(stop)));
    }
    ::close(folderDescriptor);
    if (!problem.empty()) {
      error = problem;
      return nullptr;
    }
  }

  // Written over at the commit: opened now, so that a file that cannot be is refused before any
  // work, and left as it is until then.
  const int targetDescriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (targetDescriptor < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  const int descriptor = ::memfd_create("lobewright-output", MFD_CLOEXEC);
  if (descriptor < 0) {
    error = std::strerror(errno);
    ::close(targetDescriptor);
    return nullptr;
  }
  return std::unique_ptr<OutputFile>(new OutputFile(
      target, Way::overwrite, descriptor, kNoDescriptor, targetDescriptor, std::move(stop)));
}

OutputFile::OutputFile(std::string target, Way way, int descriptor, int folder,
                       int targetDescriptor, std::stop_token stop)
    : m_target(std::move(target)),
      m_way(way),
      m_descriptor(descriptor),
      m_folder(folder),
      m_targetDescriptor(targetDescriptor),
      m_buffer(std::make_unique<FileStreamBuffer>(descriptor, std::move(stop))),
      m_stream(m_buffer.get()) {
  m_stream.exceptions(std::ios::badbit);
}

OutputFile::~OutputFile() {
  if (!m_done) discard();
}

void OutputFile::discard() {
  m_done = true;
  if (!m_stagedName.empty()) ::unlinkat(m_folder, m_stagedName.c_str(), 0);
  m_stagedName.clear();
  closeIfOpen(m_descriptor);
  closeIfOpen(m_folder);
  closeIfOpen(m_targetDescriptor);
  m_descriptor = m_folder = m_targetDescriptor = kNoDescriptor;
}

// Everything written is out of the buffer and nothing failed.
bool OutputFile::finishWriting() {
  if (m_done) return false;
  // The buffer is flushed directly: a failure here is an answer, not an exception.
  const bool written = m_buffer->pubsync() == 0 && !m_stream.fail();
  if (!written) discard();
  return written;
}

// A replacement gets its temporary name in the target's folder; a file written directly is done.
bool OutputFile::stage() {
  if (m_way == Way::direct) {
    m_done = true;
    const int descriptor = m_descriptor;
    m_descriptor = kNoDescriptor;
    if (::close(descriptor) != 0) {
      m_failure = std::strerror(errno);
      return false;
    }
    return true;
  }
  if (m_way == Way::overwrite) return true;
  int linked = -1;
  std::string name;
  for (int attempt = 0; attempt < 100 && linked != 0; ++attempt) {
    name = temporaryName();
    linked = ::linkat(AT_FDCWD, procPath(m_descriptor).c_str(), m_folder, name.c_str(),
                      AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno != EEXIST) break;
  }
  if (linked != 0) {
    m_failure = std::strerror(errno);
    discard();
    return false;
  }
  m_stagedName = name;
  return true;
}

// The staged file takes the target's place.
bool OutputFile::place() {
  if (m_way == Way::direct) return true;
  if (m_way == Way::overwrite) {
    const bool overwritten = overwriteTarget();
    if (!overwritten) m_failure = std::strerror(errno);
    discard();
    return overwritten;
  }
  const std::string base = fs::path(m_target).filename();
  if (::renameat(m_folder, m_stagedName.c_str(), m_folder, base.c_str()) != 0) {
    m_failure = std::strerror(errno);
    discard();
    return false;
  }
  m_stagedName.clear();
  const bool closed = ::close(m_descriptor) == 0;
  if (!closed) m_failure = std::strerror(errno);
  m_descriptor = kNoDescriptor;
  discard();
  return closed;
}

// A file to be written over takes the room its text needs first, where the file system can, so
// that a full disk fails before any old text (its own, or that of a file committed with it) is
// touched.
bool OutputFile::reserve() {
  if (m_way != Way::overwrite) return true;
  const off_t size = ::lseek(m_descriptor, 0, SEEK_END);
  if (size >= 0 &&
      (size == 0 || ::fallocate(m_targetDescriptor, FALLOC_FL_KEEP_SIZE, 0, size) == 0 ||
       errno == EOPNOTSUPP || errno == ENOSYS)) {
    return true;
  }
  m_failure = std::strerror(errno);
  discard();
  return false;
}

// Copies the text kept aside over the old file's.
bool OutputFile::overwriteTarget() {
  const off_t size = ::lseek(m_descriptor, 0, SEEK_END);
  if (size < 0) return false;
  std::vector<char> piece(kCopyBytes);
  for (off_t at = 0; at < size;) {
    const ssize_t got = ::pread(m_descriptor, piece.data(), piece.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;
      return false;
    }
    for (ssize_t put = 0; put < got;) {
      const ssize_t written = ::pwrite(m_targetDescriptor, piece.data() + put,
                                       static_cast<std::size_t>(got - put), at + put);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        if (written == 0) errno = EIO;
        return false;
      }
      put += written;
    }
    at += got;
  }
  if (::ftruncate(m_targetDescriptor, size) != 0) return false;
  const int descriptor = m_targetDescriptor;
  m_targetDescriptor = kNoDescriptor;
  return ::close(descriptor) == 0;
}

bool OutputFile::commit() { return commitTogether({this}); }

bool OutputFile::commitTogether(const std::vector<OutputFile*>& files) {
  // Each step for every file before the next: the writes, which fail on a full disk, then the
  // temporary names and the room of the files written over, then the renames and copies, which
  // need no more room.
  for (const auto step :
       {&OutputFile::finishWriting, &OutputFile::stage, &OutputFile::reserve, &OutputFile::place}) {
    for (OutputFile* file : files) {
      if ((file->*step)()) continue;
      for (OutputFile* other : files) {
        if (!other->m_done) other->discard();
      }
      return false;
    }
  }
  return true;
}

std::string OutputFile::failure() const {
  if (m_buffer->error() != 0) return std::strerror(m_buffer->error());
  if (m_buffer->wasStopped()) return "the run was stopped";
  if (m_stream.fail()) return "the text could not be written";
  return m_failure;
}

}  // namespace lobewright
