#pragma once

#include <cstdio>

namespace lobewright {

// A one-line progress bar redrawn in place on a terminal.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::FILE* terminal) : m_terminal(terminal) {}
  // A bar that goes short of 100 % (a failure, an exception) leaves no line open behind it.
  ~TerminalProgress() { endLine(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void report(int percent);
  // Ends a bar left short of 100 %, so that what is written next starts a line of its own; the
  // next report starts a new bar.
  void endLine();

 private:
  std::FILE* m_terminal;
  int m_shown = -1;
};

}  // namespace lobewright
