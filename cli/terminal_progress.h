#pragma once

#include <cstdio>

namespace lobewright {

// A one-line progress bar redrawn in place on a terminal.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::FILE* terminal) : m_terminal(terminal) {}

  void report(int percent);

 private:
  std::FILE* m_terminal;
  int m_shown = -1;
};

}  // namespace lobewright
