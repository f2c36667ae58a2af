#pragma once

#include <cstdio>

namespace lobewright {

// A one-line progress bar redrawn in place on a terminal.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::FILE* terminal) : m_terminal(terminal) {}

  void report(int percent);
  // Ends a bar left short of 100 %, so that what is written next starts a line of its own; the
  // next report starts a new bar.
  void endLine();

 private:
  std::FILE* m_terminal;
  int m_shown = -1;
};

}  // namespace lobewright
