#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace lobewright::testing {

// A file of the tests' data folder. Built by appending: GCC 12's bounds warning misreads the
// same string built with operator+.
inline std::string dataPath(const std::string& name) {
  std::string path = LOBEWRIGHT_TEST_DATA_DIR;
  path += '/';
  path += name;
  return path;
}

// A file's bytes, or nothing when it cannot be read.
inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A file of the data folder, read whole.
inline std::string readSample(const std::string& name) { return readFile(dataPath(name)); }

inline void writeFile(const std::string& fileName, const std::string& contents) {
  std::ofstream(fileName, std::ios::binary) << contents;
}

}  // namespace lobewright::testing
