#pragma once

#include <memory>
#include <ostream>
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
class OutputFile {
 public:
  // Opens the target; on failure says why in `error` (e.g. "No such file or directory").
  [[nodiscard]] static std::unique_ptr<OutputFile> open(const std::string& path,
                                                        std::string& error);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  [[nodiscard]] std::ostream& stream() { return m_stream; }

  // Flushes, checks and closes everything written, then puts the file in the target's place.
  // False when any write failed or the file cannot take its place; the target is then as before.
  [[nodiscard]] bool commit();

 private:
  OutputFile(std::string target, int descriptor, int folder, bool replaces);
  void discard();

  std::string m_target;  // the path to replace, symbolic links resolved
  int m_descriptor;
  int m_folder;     // the target's folder, open while the file has no name
  bool m_replaces;  // false: the target itself is being written
  std::unique_ptr<FileStreamBuffer> m_buffer;
  std::ostream m_stream;
  bool m_done = false;
};

}  // namespace lobewright
