#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/golden.h"
#include "support/temp_dir.h"

namespace lobewright::testing {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A word of a command line: in single quotes, with the space that ends it.
inline std::string quoted(const std::string& word) { return '\'' + word + "' "; }

// Runs a shell command line with its output captured in files of the given directory.
inline ProgramResult runProgram(const std::string& commandLine, const TempDir& dir) {
  const std::string outPath = dir.file("stdout.txt");
  const std::string errPath = dir.file("stderr.txt");
  const int status = std::system((commandLine + " >'" + outPath + "' 2>'" + errPath + "'").c_str());
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

}  // namespace lobewright::testing
