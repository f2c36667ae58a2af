// Writes the converter's manual page to the file named, for the build.
#include <fstream>
#include <iostream>

#include "cli/man_page.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: lobewright-man-page OUTPUT\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << lobewright::converterManPage();
  out.close();
  return out ? 0 : 1;
}
