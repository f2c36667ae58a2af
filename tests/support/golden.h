#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/test_files.h"

namespace lobewright::testing {

// Compares output with a golden file byte for byte. On a mismatch the actual output is written
// to the working directory so it can be diffed against the golden one.
inline void expectMatchesGolden(const std::string& actual, const std::string& goldenName) {
  const std::string goldenPath = dataPath("golden/" + goldenName);
  const std::string expected = readFile(goldenPath);
  if (actual == expected) return;
  const std::string actualPath = "actual-" + goldenName;
  std::ofstream(actualPath, std::ios::binary) << actual;
  ADD_FAILURE() << "output differs from " << goldenPath << "\n  diff " << goldenPath << ' '
                << actualPath;
}

// True when every line break is CR LF.
inline bool allLineEndsAreCrLf(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
  }
  return true;
}

// The first line of a message: what failed. The lines after it say why, in words that depend
// on the file and the system.
inline std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace lobewright::testing
