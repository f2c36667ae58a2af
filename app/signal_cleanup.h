#pragma once

#include <signal.h>
#include <sys/types.h>

#include <functional>
#include <string>

namespace lobewright {

// The programs a run starts (POV-Ray, rsvg-convert) and the temporary folders it works in must not
// outlive it. Each is tracked here while it exists, so that a signal that ends the process can end
// them first.

// Runs `spawn`, which starts a child and gives its id (or -1), and tracks the child it started: a
// signal cannot end the process between the two.
[[nodiscard]] pid_t startTrackedChild(const std::function<pid_t()>& spawn);
// Stops tracking a child that has ended; call it before the child is reaped, so that its id
// cannot be another process's by then.
void untrackChild(pid_t child);

// Makes a folder from a mkdtemp pattern ("/tmp/lobewright-XXXXXX") and tracks it; empty, with
// errno set, when it cannot.
[[nodiscard]] std::string makeTrackedFolder(std::string pattern);
// Removes the folder with all it holds and stops tracking it.
void removeTrackedFolder(const std::string& path);

// From this call on, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM (those the
// process does not ignore) first kill every tracked child and remove every tracked folder; then
// the process ends by the same signal, as it would have. Call it once, before any other thread
// is started: the signals are blocked in every thread and taken by a thread of their own.
void cleanUpBeforeSignalsEnd();

// When one of those signals has come, waits for the end it brings, so that the process ends by the
// signal rather than by an exit of its own (a Ctrl-C to the process group ends POV-Ray too, and the
// run would fail and exit first); returns at once when none has come. Call it before exiting.
void awaitEndBySignal();

// The signal mask a child starts with: the process's own from before the call above.
[[nodiscard]] sigset_t childSignalMask();

}  // namespace lobewright
