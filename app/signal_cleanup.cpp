#include "app/signal_cleanup.h"

#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace lobewright {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM};
// How long a killed child is waited for before its folder is removed; a child stuck in the
// kernel (a hung network file system) must not keep the process from ending.
constexpr auto kChildEndWait = std::chrono::seconds(2);
constexpr auto kChildEndPoll = std::chrono::milliseconds(5);

// Never destroyed: a signal may come while the process exits.
struct Tracked {
  std::mutex mutex;
  sigset_t ending{};  // the signals taken
  std::atomic<bool> signalled{false};
  std::set<pid_t> children;
  std::set<std::string> folders;
  sigset_t childMask{};
  bool maskKept = false;
};

Tracked& tracked() {
  static Tracked* const instance = new Tracked;
  return *instance;
}

// Reaps the killed child: the process is about to end, and a child left unreaped would stay a
// zombie wherever no parent above reaps it.
void waitForEnd(pid_t child) {
  const auto deadline = std::chrono::steady_clock::now() + kChildEndWait;
  while (std::chrono::steady_clock::now() < deadline) {
    const pid_t reaped = ::waitpid(child, nullptr, WNOHANG);
    if (reaped != 0 && !(reaped < 0 && errno == EINTR)) return;
    std::this_thread::sleep_for(kChildEndPoll);
  }
}

// Takes the first of the signals, cleans up and ends the process by it. The lock is kept to the
// end, so that nothing new is started or made meanwhile.
[[noreturn]] void endBySignal(sigset_t signals) {
  int signal = 0;
  while (::sigwait(&signals, &signal) != 0) {
  }
  Tracked& state = tracked();
  state.signalled = true;
  state.mutex.lock();
  for (const pid_t child : state.children) ::kill(child, SIGKILL);
  for (const pid_t child : state.children) waitForEnd(child);
  for (const std::string& folder : state.folders) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace

pid_t startTrackedChild(const std::function<pid_t()>& spawn) {
  Tracked& state = tracked();
  const std::lock_guard lock(state.mutex);
  const pid_t child = spawn();
  if (child > 0) state.children.insert(child);
  return child;
}

void untrackChild(pid_t child) {
  Tracked& state = tracked();
  const std::lock_guard lock(state.mutex);
  state.children.erase(child);
}

std::string makeTrackedFolder(std::string pattern) {
  Tracked& state = tracked();
  const std::lock_guard lock(state.mutex);
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  state.folders.insert(pattern);
  return pattern;
}

void removeTrackedFolder(const std::string& path) {
  Tracked& state = tracked();
  const std::lock_guard lock(state.mutex);
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  state.folders.erase(path);
}

void cleanUpBeforeSignalsEnd() {
  Tracked& state = tracked();
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : kEndingSignals) {
    struct sigaction action {};
    // A signal the process was started to ignore (nohup, a background job) stays ignored.
    if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
    sigaddset(&signals, signal);
  }
  {
    const std::lock_guard lock(state.mutex);
    if (state.maskKept) return;
    ::pthread_sigmask(SIG_BLOCK, &signals, &state.childMask);
    state.ending = signals;
    state.maskKept = true;
  }
  std::thread(endBySignal, signals).detach();
}

void awaitEndBySignal() {
  Tracked& state = tracked();
  sigset_t pending;
  sigemptyset(&pending);
  ::sigpending(&pending);
  bool coming = state.signalled;
  for (const int signal : kEndingSignals) {
    coming =
        coming || (sigismember(&state.ending, signal) == 1 && sigismember(&pending, signal) == 1);
  }
  if (!coming) return;
  for (;;) ::pause();
}

sigset_t childSignalMask() {
  Tracked& state = tracked();
  const std::lock_guard lock(state.mutex);
  sigset_t mask;
  if (state.maskKept) return state.childMask;
  ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  return mask;
}

}  // namespace lobewright
