#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace lobewright {
namespace {

// What a bar writes over its life, however that ends.
std::string drawn(const std::function<void(TerminalProgress&)>& run) {
  std::FILE* terminal = std::tmpfile();
  {
    TerminalProgress bar(terminal);
    run(bar);
  }
  std::string text(static_cast<std::size_t>(std::ftell(terminal)), '\0');
  std::rewind(terminal);
  text.resize(std::fread(text.data(), 1, text.size(), terminal));
  std::fclose(terminal);
  return text;
}

// Whatever is written after a bar starts a line of its own, and no bar leaves an empty line.
TEST(TerminalProgress, EveryBarEndsItsLineOnce) {
  const struct {
    const char* how;
    std::function<void(TerminalProgress&)> run;
    std::size_t lineEnds;
  } cases[] = {
      {"never drawn", [](TerminalProgress&) {}, 0},
      {"finished", [](TerminalProgress& bar) { bar.report(50), bar.report(100); }, 1},
      {"left short, as a failure or an exception leaves it",
       [](TerminalProgress& bar) { bar.report(40); }, 1},
      {"ended for a message, then gone",
       [](TerminalProgress& bar) { bar.report(40), bar.endLine(); }, 1},
      {"ended, then drawn again and left short",
       [](TerminalProgress& bar) { bar.report(40), bar.endLine(), bar.report(60); }, 2},
  };
  for (const auto& c : cases) {
    const std::string text = drawn(c.run);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(c.lineEnds)) << c.how;
    if (c.lineEnds > 0) {
      EXPECT_EQ(text.back(), '\n') << c.how;
    }
  }
}

}  // namespace
}  // namespace lobewright
