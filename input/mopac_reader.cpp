#include <fstream>
#include <locale>
#include <optional>
#include <sstream>

#include "input/eigenvector_heading.h"
#include "input/modern_mopac_reader.h"
#include "input/molecule.h"
#include "input/token_reader.h"

namespace lobewright {
namespace {

constexpr int kMosPerBlock = 6;

// MOPAC breaks its pages with a line holding only "1"; it can fall between any two rows.
constexpr const char* kPageBreak = "1";

// The rest of a block's heading line is "NO." followed by the numbers of the MOs in the block.
bool headingHoldsMo(const std::string& heading, int column, int moNumber) {
  std::istringstream words(heading);
  words.imbue(std::locale::classic());
  std::string label;
  words >> label;
  long number = 0;
  for (int position = 0; words >> number; ++position) {
    if (position == column) return number == moNumber;
  }
  return false;
}

// Skips `skipped` tokens, reads the number after them and drops the rest of the line.
bool readRowValue(TokenReader& reader, int skipped, float& value) {
  reader.skipTokens(skipped);
  if (!reader.readNumber(value)) return false;
  reader.skipRestOfLine();
  return true;
}

// A p row: label, symbol, atom number, then the coefficient columns.
bool readPRow(TokenReader& reader, int column, float& value) {
  std::string label;
  reader.readToken(label);
  if (label == kPageBreak) reader.readToken(label);
  return readRowValue(reader, column + 2, value);
}

// The text of a ROOT heading after the word: "NO." and the block's MO numbers. The token reads
// took it as the rest of the line, which they never let run longer than kMaxRestOfLine.
std::optional<std::string> restOfHeading(const std::string& line) {
  const std::size_t word = line.find(kOlderLayoutHeading);
  std::string rest = line.substr(word + kOlderLayoutHeading.size());
  if (static_cast<int>(rest.size()) > TokenReader::kMaxRestOfLine) return std::nullopt;
  return rest;
}

}  // namespace

bool Molecule::readMopacOutput(const std::string& fileName, int16_t moNumber) {
  atomCount = 0;
  std::ifstream file(fileName);
  return readMopacOutput(file, moNumber);
}

bool Molecule::readMopacOutput(std::istream& in, int16_t moNumber) {
  atomCount = 0;
  inputErrorDetail.clear();
  if (moNumber < 1) return false;
  const int block = (moNumber - 1) / kMosPerBlock;
  const int column = (moNumber - 1) % kMosPerBlock;

  OutputPreamble preamble;
  const std::optional<EigenvectorHeading> found = findEigenvectorHeading(in, preamble);
  if (!found) return false;
  if (found->layout == EigenvectorHeading::Layout::newer) {
    return readNewerLayout(in, preamble, found->firstBlockHeading, moNumber);
  }
  TokenReader reader(in);
  std::optional<std::string> heading = restOfHeading(found->firstBlockHeading);
  if (block > 0) {
    for (int b = 0; b < block; ++b) {
      if (!reader.skipToToken(kOlderLayoutHeading)) return false;
    }
    heading.emplace();
    if (!reader.readRestOfLine(*heading)) return false;
  }
  if (!heading || !headingHoldsMo(*heading, column, moNumber)) return false;
  reader.skipTokens(1);
  reader.skipRestOfLine();
  reader.skipTokens(1);

  std::string token;
  for (;;) {
    if (atomCount == kMaxAtoms) return false;
    const int i = atomCount;
    std::string symbol;
    if (!reader.readToken(symbol)) return false;
    const int16_t element = parameters.find(symbol);
    if (element < 0) return false;
    atomElement[i] = element;
    if (symbol == "H") {
      reader.skipTokens(column + 1);
      reader.readNumber(coefS[i]);
      if (!reader.good()) return false;
      reader.skipRestOfLine();
      coefPx[i] = coefPy[i] = coefPz[i] = 0.0f;
    } else {
      if (!readRowValue(reader, column + 1, coefS[i])) return false;
      for (float* coefficient : {&coefPx[i], &coefPy[i], &coefPz[i]}) {
        if (!readPRow(reader, column, *coefficient)) return false;
      }
    }
    ++atomCount;
    if (!reader.readToken(token)) break;
    if (token == kPageBreak && !reader.readToken(token)) break;
    if (token != "S") break;
  }

  if (!reader.skipToToken("CARTESIAN")) return false;
  reader.skipTokens(6);
  for (int i = 0; i < atomCount; ++i) {
    reader.skipTokens(2);
    reader.readNumber(atomX[i]);
    reader.readNumber(atomY[i]);
    // A number that runs into the end of the file may have been cut short, as with hydrogen.
    if (!reader.readNumber(atomZ[i]) || !reader.good()) return false;
  }
  return true;
}

}  // namespace lobewright
