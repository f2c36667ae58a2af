#include "cli/terminal_progress.h"

#include <algorithm>
#include <string>

namespace lobewright {

void TerminalProgress::report(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == m_shown) return;
  m_shown = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, ' ');
  std::fprintf(m_terminal, "\r[%s] %3d%%", bar.c_str(), percent);
  if (percent == 100) std::fputc('\n', m_terminal);
  std::fflush(m_terminal);
}

void TerminalProgress::endLine() {
  if (m_shown < 0 || m_shown == 100) return;
  std::fputc('\n', m_terminal);
  std::fflush(m_terminal);
  m_shown = -1;
}

}  // namespace lobewright
