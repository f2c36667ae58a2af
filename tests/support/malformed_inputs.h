#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "support/golden.h"
#include "support/recording_sink.h"

namespace lobewright::testing {

// A MOPAC output the conversion must refuse, with the message the user is to see: its first line
// and, where given, how the second goes on after the file's name, with the line it quotes.
struct MalformedInput {
  std::string name;
  std::string text;
  std::string message;
  std::string reason = {};
};

inline constexpr const char* kInputFileError = "Input file error.";
inline constexpr const char* kGridTooLarge =
    "The grid would reach beyond 32-bit grid units; check the coordinates or lower the scale.";

// The old layout in its smallest form: one block of MOs 1 and 2, then the coordinates.
inline std::string mopacText(const std::string& rows, const std::string& coordinates) {
  return " KEYWORDS EIGENVECTORS\n\n EIGENVECTORS\n\n ROOT NO.  1   2\n\n  -30.0  -20.0\n\n" +
         rows + "\n\n NET ATOMIC CHARGES\n CARTESIAN COORDINATES\n NO. ATOM X Y Z\n" + coordinates +
         "\n\n TOTAL CPU TIME\n";
}

inline constexpr const char* kCarbonRows =
    " S  C 1 0.1 0.2\n PX C 1 0.3 0.4\n PY C 1 0.5 0.6\n PZ C 1 0.7 0.8\n S  H 2 0.5 0.6";
inline constexpr const char* kCarbonCoordinates = "1 C 0 0 0\n2 H 1.1 0 0";

// The text with the first `old` replaced; a test whose `old` is missing fails.
inline std::string replaced(std::string text, const std::string& old, const std::string& by) {
  const std::size_t at = text.find(old);
  EXPECT_NE(at, std::string::npos) << old;
  if (at != std::string::npos) text.replace(at, old.size(), by);
  return text;
}

// The text without the first line that holds `part`.
inline std::string withoutLine(std::string text, const std::string& part) {
  const std::size_t start = text.rfind('\n', text.find(part)) + 1;
  text.erase(start, text.find('\n', start) + 1 - start);
  return text;
}

inline std::string randomBytes(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

// Inputs of every kind of damage; big ones are made here, never stored.
inline std::vector<MalformedInput> malformedInputs() {
  const std::string formaldehyde = readFile(dataPath("formaldehyde.mno"));
  const std::string chloroform = readFile(dataPath("chloroform.mno"));
  std::string crOnly = formaldehyde;
  for (char& c : crOnly) c = c == '\n' ? '\r' : c;
  const std::string carbon = mopacText(kCarbonRows, kCarbonCoordinates);
  std::string hundredAndOneAtoms;
  std::string theirCoordinates;
  for (int atom = 1; atom <= 101; ++atom) {
    hundredAndOneAtoms += " S H " + std::to_string(atom) + " 0.1 0.2\n";
    theirCoordinates += std::to_string(atom) + " H 0 0 " + std::to_string(atom) + "\n";
  }
  // The reader drops the rest of the line after a block's heading; a line of words that long
  // cannot be dropped.
  const std::size_t afterHeading = formaldehyde.find('\n', formaldehyde.find("ROOT NO.")) + 1;
  std::string tenMegabyteLine = formaldehyde;
  std::string words;
  for (int i = 0; i < (5 << 20); ++i) words += "x ";
  tenMegabyteLine.insert(afterHeading, words + "\n");

  return {
      {"empty file", "", kInputFileError},
      {"binary garbage", randomBytes(64 << 10, 8), kInputFileError},
      {"CR-only line ends", crOnly, kInputFileError},
      {"10 MB line", tenMegabyteLine, kInputFileError},
      {"1 MB token as a symbol", replaced(carbon, " S  C", " S " + std::string(1 << 20, 'C')),
       kInputFileError},
      {"101 atoms", mopacText(hundredAndOneAtoms, theirCoordinates), kInputFileError},
      {"unknown symbol", replaced(carbon, " S  H", " S  Xx"), kInputFileError},
      {"overlong symbol", replaced(carbon, " S  H", " S  Cla"), kInputFileError},
      {"NaN coefficient", replaced(carbon, "0.3", "nan"), kInputFileError},
      {"infinite coefficient", replaced(carbon, "0.1", "-inf"), kInputFileError},
      {"coefficient beyond the float range", replaced(carbon, "0.5 0.6", "1e39 0.6"),
       kInputFileError},
      {"NaN coordinate", replaced(carbon, "1.1 0 0", "1.1 nan 0"), kInputFileError},
      {"infinite coordinate", replaced(carbon, "1.1 0 0", "inf 0 0"), kInputFileError},
      {"coordinate beyond the float range", replaced(carbon, "1.1 0 0", "1.1 0 -1e39"),
       kInputFileError},
      {"coordinates beyond the grid", replaced(carbon, "1.1 0 0", "3e37 0 -3e37"), kGridTooLarge},
      {"coordinate three billion Angstrom out", replaced(carbon, "1.1 0 0", "1.1 0 3e9"),
       kGridTooLarge},
      // Damage that once gave another molecule: each row must be there, each number whole, and
      // the coordinates must list the eigenvectors' atoms.
      {"deleted row", withoutLine(formaldehyde, "  S  H   3   0.14334"), kInputFileError,
       ", line 133: the rows of atom 3 are missing\n"
       "  133 | S  H   4   0.14335    -0.37137     0.36921    -0.22168     0.00001    -0.39065"},
      {"deleted pz row", withoutLine(chloroform, " PZ Cl   1  -0.00491"), kInputFileError,
       ", line 133: atom 1 (Cl) has no PZ row\n"
       "  133 | S  C   2  -0.28207    -0.00015     0.00043     0.74139    -0.10349    -0.00073"},
      {"number with trailing junk", replaced(formaldehyde, "0.47449 ", "0x1p3   "), kInputFileError,
       ", line 127: \"0x1p3\" is not a number\n"
       "  127 | S  O   2   0.78071     0x1p3      -0.00002    -0.30685    -0.00000     0.00000"},
      {"eigenvector atom missing from the coordinates",
       withoutLine(formaldehyde, "     4         H                 -0.5712"), kInputFileError,
       ", line 176: the table of coordinates lists 3 atoms, the eigenvectors 4\n"
       "  176 | 1         C                  0.0000    0.0000    0.0000"},
      {"symbol with a quote", replaced(carbon, " S  H", " S  H\""), kInputFileError,
       ", line 13: expected an atom after the row label\n  13 | S  H\" 2 0.5 0.6"},
  };
}

}  // namespace lobewright::testing
