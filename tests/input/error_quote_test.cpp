#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "input/aux_reader.h"
#include "input/classic_calculation.h"
#include "input/mgf_reader.h"
#include "input/out_reader.h"
#include "input/parameter_table.h"
#include "input/text_scan.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

using Reader = std::function<TextError(std::istream&)>;

struct QuoteDamage {
  const char* reader;
  const char* sample;
  std::string old;
  std::string by;
};

// Every reader's refusal names the damaged line and quotes it as read, below the message.
TEST(ReaderErrors, QuoteTheDamagedLine) {
  const std::map<std::string, Reader> readers = {
      {"classic .out",
       [](std::istream& in) { return readMopacOutput(in, builtInParameters()).error; }},
      {"exact .out", [](std::istream& in) { return readOutFile(in, "x.out").error; }},
      {".aux", [](std::istream& in) { return readAuxFile(in, "x.aux").error; }},
      {".mgf", [](std::istream& in) { return readMgfFile(in, "x.mgf").error; }},
      {"parameter table", [](std::istream& in) { return readParameterTable(in, "x.txt").error; }},
  };
  const QuoteDamage damages[] = {
      {"classic .out", "formaldehyde.mno", "0.47449 ", "0.4x449 "},
      {"classic .out", "formaldehyde.mno", "4         H                 -0.5712",
       "4         C                 -0.5712"},
      {"exact .out", "aux/formaldehyde_PM7.out", "S   C    1    0.4428", "S   C    1    0.44x8"},
      {".aux", "aux/formaldehyde_PM7.aux", "2.3014800000000", "2.30148x0000000"},
      {".aux", "aux/formaldehyde_PM7.aux", "  2  2  2  2  3  4", "  2  2  2  2  3  9"},
      {".mgf", "aux/formaldehyde_PM7.mgf", "5.9723090", "5.97x3090"},
      {"parameter table", "pm3r.txt", "Cl 2.246210", "Cla 2.246210"},
      // Cut short: the end is told at the last line with a word, not at the blank ones after it.
      {"parameter table", "pm3r.txt", "I 7.001013 2.454354 2", "I 7.001013\n\n"},
  };
  for (const QuoteDamage& damage : damages) {
    std::string text = testing::readSample(damage.sample);
    const std::size_t at = text.find(damage.old);
    ASSERT_NE(at, std::string::npos) << damage.old;
    text.replace(at, damage.old.size(), damage.by);
    const std::size_t lineStart = text.rfind('\n', at) + 1;
    const std::string line = text.substr(lineStart, text.find('\n', at) - lineStart);
    const auto lineNumber =
        static_cast<int64_t>(std::count(text.begin(), text.begin() + at, '\n') + 1);

    std::istringstream in(text);
    const TextError error = readers.at(damage.reader)(in);
    const std::string what = std::string(damage.reader) + ": " + error.message();
    EXPECT_EQ(error.line, lineNumber) << what;
    EXPECT_EQ(error.quote, quotedLine(line)) << what;
    const std::size_t byStart = damage.by.find_first_not_of(' ');
    EXPECT_NE(error.quote.find(damage.by.substr(byStart, damage.by.find('\n') - byStart)),
              std::string::npos)
        << what;
    const std::string shown = "\n  " + std::to_string(lineNumber) + " | " + error.quote;
    EXPECT_TRUE(error.message().ends_with(shown)) << what;
  }
}

}  // namespace
}  // namespace lobewright
