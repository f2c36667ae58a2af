#include "app/output_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "support/golden.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

std::size_t entriesIn(const std::string& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class OutputFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<OutputFile> open(const std::string& path) {
    std::string error;
    auto file = OutputFile::open(path, error);
    EXPECT_TRUE(file) << path << ": " << error;
    return file;
  }

  testing::TempDir m_dir;
  const std::string m_target = m_dir.file("scene.pov");
};

TEST_F(OutputFileTest, TheOldFileStaysUntilTheNewOneIsWholeAndNothingElseIsLeft) {
  writeFile(m_target, "old scene");
  ::chmod(m_target.c_str(), 0640);
  {
    auto file = open(m_target);
    file->stream() << "half a new scene";
  }  // dropped without commit, as after a failure or a cancel
  EXPECT_EQ(readFile(m_target), "old scene");
  EXPECT_EQ(entriesIn(m_dir.file("")), 1u);

  auto file = open(m_target);
  file->stream() << "new scene";
  EXPECT_EQ(readFile(m_target), "old scene");
  ASSERT_TRUE(file->commit());
  EXPECT_EQ(readFile(m_target), "new scene");
  EXPECT_EQ(fs::status(m_target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entriesIn(m_dir.file("")), 1u);
}

TEST_F(OutputFileTest, ALinkIsFollowedAndTheFileItNamesReplaced) {
  fs::create_directory(m_dir.file("scenes"));
  writeFile(m_dir.file("scenes/real.pov"), "old");
  fs::create_symlink("scenes/real.pov", m_target);
  auto file = open(m_target);
  file->stream() << "new";
  ASSERT_TRUE(file->commit());
  EXPECT_TRUE(fs::is_symlink(m_target));
  EXPECT_EQ(readFile(m_dir.file("scenes/real.pov")), "new");
}

TEST_F(OutputFileTest, TargetsThatAreNotRegularFilesAreWrittenDirectly) {
  auto devNull = open("/dev/null");
  devNull->stream() << "nothing";
  EXPECT_TRUE(devNull->commit());

  auto full = open("/dev/full");
  full->stream() << "no room";
  EXPECT_FALSE(full->commit());
  EXPECT_EQ(full->failure(), "No space left on device");
}

// After the stop the stream takes nothing more: the next write throws, whether it fits the buffer
// or not, and the commit leaves the old file.
TEST_F(OutputFileTest, AfterTheStopTheNextWriteFailsAndNothingIsCommitted) {
  writeFile(m_target, "old scene");
  for (const std::size_t size : {std::size_t{1}, std::size_t{3} << 20}) {
    std::stop_source stop;
    std::string error;
    auto file = OutputFile::open(m_target, error, stop.get_token());
    ASSERT_TRUE(file) << error;
    file->stream() << "the start of a scene";
    EXPECT_TRUE(file->failure().empty());
    stop.request_stop();
    EXPECT_THROW(file->stream() << std::string(size, 'x'), std::ios_base::failure) << size;
    EXPECT_FALSE(file->commit());
    EXPECT_EQ(file->failure(), "the run was stopped");
    EXPECT_EQ(readFile(m_target), "old scene");
    EXPECT_EQ(entriesIn(m_dir.file("")), 1u);
  }
}

TEST_F(OutputFileTest, RefusedTargets) {
  fs::create_directory(m_dir.file("folder"));
  for (const std::string& path : {std::string(), m_dir.file("folder"), m_dir.file("no/such.pov")}) {
    std::string error;
    EXPECT_FALSE(OutputFile::open(path, error)) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
}

// Names up to the longest the system allows are replaced like any other: the temporary name is
// short whatever the target's.
TEST_F(OutputFileTest, NamesAsLongAsTheSystemAllowsAreReplaced) {
  for (const std::size_t length : {std::size_t{239}, std::size_t{255}}) {
    const std::string target = m_dir.file(std::string(length - 4, 'n') + ".pov");
    writeFile(target, "old");
    auto file = open(target);
    file->stream() << "new";
    EXPECT_TRUE(file->commit()) << length << ": " << file->failure();
    EXPECT_EQ(readFile(target), "new") << length;
    fs::remove(target);
  }
}

// An .obj and its .mtl: when one cannot be written whole, neither replaces its target.
TEST_F(OutputFileTest, FilesCommittedTogetherReplaceTheirTargetsAllOrNone) {
  const std::string mesh = m_dir.file("x.obj");
  const std::string materials = m_dir.file("x.mtl");
  writeFile(mesh, "old mesh");
  writeFile(materials, "my materials");
  std::stop_source stop;
  std::string error;
  auto first = OutputFile::open(materials, error);
  auto second = OutputFile::open(mesh, error, stop.get_token());
  ASSERT_TRUE(first && second) << error;
  first->stream() << "new materials";
  second->stream() << "new mesh";
  stop.request_stop();
  EXPECT_FALSE(OutputFile::commitTogether({first.get(), second.get()}));
  EXPECT_TRUE(first->failure().empty());
  EXPECT_EQ(second->failure(), "the run was stopped");
  EXPECT_EQ(readFile(materials), "my materials");
  EXPECT_EQ(readFile(mesh), "old mesh");
  EXPECT_EQ(entriesIn(m_dir.file("")), 2u);

  first = open(materials);
  second = open(mesh);
  first->stream() << "new materials";
  second->stream() << "new mesh";
  EXPECT_TRUE(OutputFile::commitTogether({first.get(), second.get()}));
  EXPECT_EQ(readFile(materials) + readFile(mesh), "new materialsnew mesh");
  EXPECT_EQ(entriesIn(m_dir.file("")), 2u);
}

constexpr uid_t kNobody = 65534;

// Runs the check in a child process as an ordinary user: nobody when the tests run as root, who
// may write anywhere and give files to anyone. What the check found wrong comes back.
std::string asOrdinaryUser(const std::function<std::string()>& check) {
  int pipe[2];
  if (::pipe(pipe) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    const bool becameNobody =
        ::geteuid() != 0 ||
        (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
    const std::string problem = becameNobody ? check() : "cannot become nobody";
    const ssize_t written = ::write(pipe[1], problem.data(), problem.size());
    ::_exit(written == static_cast<ssize_t>(problem.size()) ? 0 : 1);
  }
  ::close(pipe[1]);
  std::string problem;
  char piece[256];
  for (ssize_t got; (got = ::read(pipe[0], piece, sizeof piece)) > 0;) problem.append(piece, got);
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? problem : "the check did not end well";
}

// A file that may be written in a folder that may not cannot be replaced: it is written over, but
// only at the commit, so a run that fails before (a render) leaves it as it was.
TEST_F(OutputFileTest, AFileInAFolderThatMayNotBeWrittenIsWrittenOverOnlyAtTheCommit) {
  fs::permissions(m_dir.file(""), fs::perms::all);
  fs::create_directory(m_dir.file("locked"));
  const std::string target = m_dir.file("locked/picture.png");
  writeFile(target, "old picture");
  writeFile(m_dir.file("locked/readonly.png"), "old");
  fs::permissions(m_dir.file("locked/readonly.png"), fs::perms::owner_read);
  fs::permissions(target, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                              ~fs::perms::others_exec);
  fs::permissions(m_dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec |
                                            fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
  const std::string problem = asOrdinaryUser([&]() -> std::string {
    std::string error;
    {
      auto failed = OutputFile::open(target, error);
      if (!failed) return "not opened: " + error;
      failed->stream() << "half a picture";
    }
    if (readFile(target) != "old picture") return "a failed run changed the file";
    auto file = OutputFile::open(target, error);
    if (!file) return "not opened: " + error;
    file->stream() << "new";
    if (!file->commit()) return "not committed: " + file->failure();
    if (readFile(target) != "new") return "not written over: " + readFile(target);
    // A file that may not be written is refused, as before.
    return OutputFile::open(m_dir.file("locked/readonly.png"), error) ? "a read-only file opened"
                                                                      : "";
  });
  EXPECT_EQ(problem, "");
  EXPECT_EQ(entriesIn(m_dir.file("locked")), 2u);
  fs::permissions(m_dir.file("locked"), fs::perms::owner_all);
}

// Files written over together (an .obj and its .mtl in a folder that may not be written) take
// the room they need before either is touched: on a disk too full for the second, the first
// keeps its old text as well.
TEST_F(OutputFileTest, FilesWrittenOverTogetherTakeTheirRoomBeforeEitherIsTouched) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can mount a small file system to fill";
  fs::permissions(m_dir.file(""), fs::perms::all);
  const std::string small = m_dir.file("small");
  fs::create_directory(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
    ASSERT_EQ(errno, EPERM) << std::strerror(errno);
    GTEST_SKIP() << "this root may not mount file systems";
  }
  const std::string mesh = small + "/x.obj";
  const std::string materials = small + "/x.mtl";
  writeFile(mesh, "old mesh");
  writeFile(materials, "my materials");
  fs::permissions(mesh, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::group_write | fs::perms::others_read |
                            fs::perms::others_write);
  fs::permissions(materials, fs::status(mesh).permissions());
  const std::string problem = asOrdinaryUser([&]() -> std::string {
    std::string error;
    auto first = OutputFile::open(mesh, error);
    auto second = OutputFile::open(materials, error);
    if (!first || !second) return "not opened: " + error;
    first->stream() << std::string(16 * 1024, 'm');   // fits in the 56 KB left
    second->stream() << std::string(60 * 1024, 't');  // does not
    if (OutputFile::commitTogether({first.get(), second.get()})) return "committed";
    return second->failure() == std::strerror(ENOSPC) ? "" : "failed with " + second->failure();
  });
  EXPECT_EQ(problem, "");
  EXPECT_TRUE(readFile(mesh) == "old mesh");
  EXPECT_TRUE(readFile(materials) == "my materials");
  ::umount2(small.c_str(), MNT_DETACH);
}

// A replaced file keeps its owner and group where the process may give them (root may); where it
// may not (someone else's file in a shared, sticky folder), the file is written over instead.
TEST_F(OutputFileTest, AReplacedFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file that is another user's";
  fs::permissions(m_dir.file(""), fs::perms::all | fs::perms::sticky_bit);
  writeFile(m_target, "nobody's scene");
  ASSERT_EQ(::chown(m_target.c_str(), kNobody, kNobody), 0);
  ::chmod(m_target.c_str(), 0664);
  auto file = open(m_target);
  file->stream() << "root's scene";
  ASSERT_TRUE(file->commit()) << file->failure();
  struct stat status {};
  ASSERT_EQ(::stat(m_target.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, kNobody);
  EXPECT_EQ(status.st_gid, kNobody);
  EXPECT_EQ(status.st_mode & 07777, 0664u);
  EXPECT_EQ(readFile(m_target), "root's scene");

  const std::string rootsFile = m_dir.file("roots.pov");
  writeFile(rootsFile, "root's");
  ::chmod(rootsFile.c_str(), 0666);
  EXPECT_EQ(asOrdinaryUser([&]() -> std::string {
              std::string error;
              auto other = OutputFile::open(rootsFile, error);
              if (!other) return "not opened: " + error;
              other->stream() << "nobody's";
              return other->commit() ? "" : "not committed: " + other->failure();
            }),
            "");
  ASSERT_EQ(::stat(rootsFile.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 0u);
  EXPECT_EQ(readFile(rootsFile), "nobody's");
  EXPECT_EQ(entriesIn(m_dir.file("")), 2u);
}

}  // namespace
}  // namespace lobewright
