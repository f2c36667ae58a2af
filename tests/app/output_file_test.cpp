#include "app/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

// Root may write anywhere, so folders and files it may not write exist only for others.
TEST_F(OutputFileTest, AFileThatMayBeWrittenInAFolderThatMayNotIsWrittenInPlace) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
  fs::create_directory(m_dir.file("locked"));
  const std::string target = m_dir.file("locked/scene.pov");
  writeFile(target, "old");
  fs::permissions(m_dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  auto file = open(target);
  file->stream() << "new";
  EXPECT_TRUE(file->commit());
  EXPECT_EQ(readFile(target), "new");
  fs::permissions(target, fs::perms::owner_read);
  std::string error;
  EXPECT_FALSE(OutputFile::open(target, error));
  fs::permissions(m_dir.file("locked"), fs::perms::owner_all);
}

}  // namespace
}  // namespace lobewright
