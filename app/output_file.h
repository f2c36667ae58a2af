#pragma once

#include <memory>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

namespace lobewright {

class FileStreamBuffer;

// An output file that replaces its target only when it was written whole. The text goes to a
// file without a name in the target's folder; commit() gives it a short temporary name there and
// renames it over the target, so a failure, a cancel or a kill at any moment leaves the old file
// as it was and, but for the instant between those two steps, no file behind. A symbolic link is
// followed and the file it names replaced, keeping that file's permissions, owner and group.
//
// Some targets cannot be replaced so: a regular file that may be written in a folder that may not,
// and one whose owner and group the process may not give to a new file (someone else's file in a
// shared folder). Their text is kept aside until the commit and only then written over the old
// file, which keeps everything but its content; a failure before the commit leaves it untouched.
// Anything that is not a regular file (/dev/stdout, a pipe, /dev/full) is written directly, as a
// plain open would. A file that may not be written is refused, as before.
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

  // Commits files that belong together (an .obj and its .mtl) as one: every file is written out
  // whole and given its temporary name before any takes its target's place, so a failure of one
  // (a full disk) leaves every target as before. The file that failed says why in failure().
  [[nodiscard]] static bool commitTogether(const std::vector<OutputFile*>& files);

  // Why a write or the commit failed ("No space left on device"); empty when nothing failed.
  [[nodiscard]] std::string failure() const;

 private:
  // How the target is reached: see the class's comment.
  enum class Way { replace, overwrite, direct };

  OutputFile(std::string target, Way way, int descriptor, int folder, int targetDescriptor,
             std::stop_token stop);
  bool finishWriting();
  bool stage();
  bool reserve();
  bool place();
  bool overwriteTarget();
  void discard();

  std::string m_target;  // the path to replace, symbolic links resolved
  Way m_way;
  int m_descriptor;          // where the stream writes
  int m_folder;              // the target's folder, open while the file has no name
  int m_targetDescriptor;    // the target, open to be written over at the commit
  std::string m_stagedName;  // the temporary name the file has in the folder, once staged
  std::unique_ptr<FileStreamBuffer> m_buffer;
  std::ostream m_stream;
  std::string m_failure;  // why the commit failed after every write succeeded
  bool m_done = false;
};

}  // namespace lobewright
