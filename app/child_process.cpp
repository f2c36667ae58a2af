#include "app/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "app/signal_cleanup.h"

extern char** environ;

namespace lobewright {
namespace {

constexpr int kPollMilliseconds = 50;

}  // namespace

ChildRun runChild(const std::vector<std::string>& arguments, std::stop_token stop,
                  const std::function<void(std::string_view)>& report,
                  const std::string& workingFolder) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return {errno == 0 ? EMFILE : errno};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], STDERR_FILENO);
  if (!workingFolder.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  }
  // The converter takes the signals that end it on a thread of its own; the child takes them as
  // any program would.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  const sigset_t mask = childSignalMask();
  posix_spawnattr_setsigmask(&attributes, &mask);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  int spawned = 0;
  const pid_t started = startTrackedChild([&] {
    spawned = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    return spawned == 0 ? child : pid_t{-1};
  });
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe[1]);
  if (started < 0) {
    ::close(pipe[0]);
    return {spawned};
  }

  ChildRun run;
  char buffer[4096];
  for (;;) {
    if (stop.stop_requested() && !run.cancelled) {
      ::kill(child, SIGKILL);
      run.cancelled = true;
    }
    pollfd ready{pipe[0], POLLIN, 0};
    if (::poll(&ready, 1, kPollMilliseconds) <= 0) continue;
    const ssize_t got = ::read(pipe[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    report(std::string_view(buffer, static_cast<std::size_t>(got)));
  }
  ::close(pipe[0]);
  // Waited for without being reaped, then no longer tracked, then reaped: its id stays its own
  // as long as a signal could still kill it.
  siginfo_t ended{};
  while (::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT) != 0 &&
         errno == EINTR) {
  }
  untrackChild(child);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  run.succeeded = !run.cancelled && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace lobewright
