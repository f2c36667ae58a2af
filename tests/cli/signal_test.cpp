// A render ended by a signal, as a user's Ctrl-C or a system shutting down ends it: POV-Ray ends
// with the converter, its temporary folder goes, and the converter ends by the same signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/golden.h"
#include "support/temp_dir.h"

extern char** environ;

namespace lobewright {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::dataPath;
using testing::readFile;

// The processes, the converter's children among them, whose environment holds the entry.
std::vector<pid_t> processesWith(const std::string& entry) {
  std::vector<pid_t> found;
  for (const auto& process : fs::directory_iterator("/proc")) {
    const std::string id = process.path().filename();
    if (id.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string environment = '\0' + readFile(process.path() / "environ");
    if (environment.find('\0' + entry + '\0') != std::string::npos) found.push_back(std::stoi(id));
  }
  return found;
}

bool rendering(const std::vector<pid_t>& processes) {
  for (const pid_t process : processes) {
    if (readFile("/proc/" + std::to_string(process) + "/comm") == "povray\n") return true;
  }
  return false;
}

// Starts the converter as a shell starts a command: the signals at their default, in a process
// group of its own, with its own TMPDIR.
pid_t startRender(const std::string& temporary, const std::string& output) {
  std::vector<std::string> environment{"TMPDIR=" + temporary};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("TMPDIR=", 0) != 0) environment.emplace_back(*entry);
  }
  const std::vector<std::string> arguments = {LOBEWRIGHT_CONVERTER,
                                              dataPath("caffeine.mno"),
                                              output,
                                              "--params",
                                              dataPath("pm3r.txt"),
                                              "--homo",
                                              "--size",
                                              "4000x3000",
                                              "--quiet"};
  std::vector<char*> argv;
  std::vector<char*> envp;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t converter = -1;
  const int started =
      posix_spawn(&converter, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return started == 0 ? converter : -1;
}

TEST(Signals, ARenderEndedByASignalLeavesNoRendererAndNoTemporaryFolder) {
  struct Case {
    int signal;
    bool toGroup;  // as Ctrl-C sends it, to the converter and POV-Ray alike
  };
  for (const Case c :
       {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGHUP, false}, Case{SIGINT, true}}) {
    const std::string what = std::string(strsignal(c.signal)) + (c.toGroup ? " to the group" : "");
    testing::TempDir dir;
    const std::string temporary = dir.file("tmp");
    fs::create_directory(temporary);
    testing::writeFile(dir.file("out.png"), "old");
    const pid_t converter = startRender(temporary, dir.file("out.png"));
    ASSERT_GT(converter, 0);
    const std::string entry = "TMPDIR=" + temporary;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!rendering(processesWith(entry)) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(rendering(processesWith(entry))) << what;
    ASSERT_EQ(c.toGroup ? ::killpg(converter, c.signal) : ::kill(converter, c.signal), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(converter, &status, 0), converter);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << what << ": " << status;
    // The converter has reaped POV-Ray before it ended.
    EXPECT_EQ(processesWith(entry), std::vector<pid_t>()) << what;
    EXPECT_TRUE(fs::is_empty(temporary)) << what;
    EXPECT_EQ(readFile(dir.file("out.png")), "old") << what;
  }
}

}  // namespace
}  // namespace lobewright
