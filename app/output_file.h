#pragma once

#include <memory>
#include <ostream>
#include <stop_token>
#include <string>

namespace lobewright {

class FileStreamBuffer;

// An output file that replaces its target only when it was written whole. The text goes to a
// file without a name in the target's folder; commit() gives it a temporary name there and
// renames it over the target, so a failure, a cancel or a kill at any moment leaves the old file
// as it was and, but for the instant between those two steps, no file behind. A symbolic link is
// followed and the file it names replaced, keeping that file's permissions.
//
// Some targets cannot be replaced and are written directly instead, as a plain open would:
// anything that is not a regular file (/dev/stdout, a pipe, /dev/full), and a file that may be
// written in a folder that may not. A file that may not be written is refused, as before.
//
// The stream throws std::ios_base::failure at the first write that fails, and at the first write
// after `stop` was requested: a writer then ends at once instead of formatting the rest of a
// scene nobody will read, and the file is not committed.
class OutputFile {
 public:
  // Opens the target; on failure says why in `error` (e.g. "No such file or directory").
  [[nodiscard]] static std::unique_ptr<OutputFile> open(const std::string& path, std::string& error,
                                                        std::stop_token stop = {});
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  [[nodiscard]] std::ostream& stream() { return m_stream; }

  // Flushes, checks and closes everything written, then puts the file in the target's place.
  // False when any write failed, the stop was requested or the file cannot take its place; the
  // target is then as before.
  [[nodiscard]] bool commit();

  // Why a write or the commit failed ("No space left on device"); empty when nothing failed.
  [[nodiscard]] std::string failure() const;

 private:
  OutputFile(std::string target, int descriptor, int folder, bool replaces, std::stop_token stop);
  void discard();

  std::string m_target;  // the path to replace, symbolic links resolved
  int m_descriptor;
  int m_folder;     // the target's folder, open while the file has no name
  bool m_replaces;  // false: the target itself is being written
  std::unique_ptr<FileStreamBuffer> m_buffer;
  std::ostream m_stream;
  std::string m_failure;  // why the commit failed after every write succeeded
  bool m_done = false;
};

}  // namespace lobewright
