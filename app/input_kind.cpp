#include "app/input_kind.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/input_source.h"
#include "input/eigenvector_heading.h"
#include "input/modern_mopac_reader.h"
#include "input/number_text.h"
#include "input/slater_exponents.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// MOPAC's .aux files open with these lines; its graphics files with the atom count and
// "MOPAC-Graphical data". Every output names the program in its first lines.
constexpr std::string_view kAuxOpening = "START OF MOPAC";
constexpr std::string_view kGraphicsOpening = "MOPAC-Graphical";
constexpr std::string_view kProgramName = "MOPAC";
constexpr int kLinesNamingTheProgram = 200;

// The words of a deck's first line that are MOPAC keywords, read up to a "=" or "(":
// "CHARGE=1", "AUX(MOS=10)". The methods are told by the exponent table.
constexpr std::array<std::string_view, 24> kDeckKeywords{
    "1SCF",    "XYZ",    "OPT", "VECTORS", "ALLVEC",  "GRAPHF", "AUX",     "MOZYME",
    "EIGEN",   "UHF",    "RHF", "CHARGE",  "PRECISE", "LARGE",  "SINGLET", "DOUBLET",
    "TRIPLET", "GEO-OK", "T",   "EF",      "FORCE",   "OPEN",   "EPS",     "GNORM"};
// A deck's geometry starts after its keyword and two title lines.
constexpr int kDeckHeaderLines = 3;
constexpr int kArchiveHeadingLines = 10;

bool isDeckKeyword(std::string_view word) {
  const std::string_view name = word.substr(0, word.find_first_of("=("));
  if (exponentTableMethod(name)) return true;
  return std::find(kDeckKeywords.begin(), kDeckKeywords.end(), name) != kDeckKeywords.end();
}

// "C  0.0 1  1.2 1  0.0 1" or "H -0.55 0.95 0": an element, perhaps with a label, and numbers.
bool isGeometryLine(const std::vector<std::string_view>& words) {
  if (words.size() < 4) return false;
  const std::string_view atom = words[0].substr(0, words[0].find_first_of("0123456789(+"));
  if (atom.empty() || !isLetters(atom)) return false;
  return std::all_of(words.begin() + 1, words.begin() + 4,
                     [](std::string_view word) { return parseDouble(word).has_value(); });
}

// A MOPAC archive opens with "SUMMARY OF  PM7 CALCULATION"; an input deck with a line of
// keywords, two of title and a geometry.
std::optional<InputKind> archiveOrDeck(std::istream& in) {
  LineReader lines(in, {});
  bool keywords = false;
  for (int line = 1; lines.next(); ++line) {
    const std::vector<std::string_view> words = lines.words();
    if (line <= kArchiveHeadingLines && words.size() >= 3 && words[0] == "SUMMARY" &&
        words[1] == "OF" && words.back() == "CALCULATION") {
      return InputKind::archive;
    }
    if (line == 1)
      keywords = !words.empty() && std::any_of(words.begin(), words.end(), isDeckKeyword);
    if (line <= kDeckHeaderLines || words.empty()) continue;
    if (keywords && isGeometryLine(words)) return InputKind::inputDeck;
    if (line > kArchiveHeadingLines) break;
  }
  return std::nullopt;
}

bool namesMopac(std::istream& in) {
  LineReader lines(in, {});
  for (int line = 0; line < kLinesNamingTheProgram && lines.next(); ++line) {
    if (lines.line().find(kProgramName) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

InputKind detectInputKind(std::istream& in) {
  LineReader lines(in, {});
  if (lines.next()) {
    const std::vector<std::string_view> words = lines.words();
    if (lines.line().find(kAuxOpening) != std::string::npos) return InputKind::aux;
    if (words.size() >= 2 && words[1] == kGraphicsOpening) return InputKind::mgf;
  }
  in.clear();
  in.seekg(0);
  LineReader outputLines(in, {});
  OutputPreamble preamble;
  const std::optional<EigenvectorHeading> heading = findEigenvectorHeading(outputLines, preamble);
  if (!heading) {
    // A line longer than any MOPAC writes stops the search; the reader names it.
    if (outputLines.failed()) return InputKind::otherText;
    in.clear();
    in.seekg(0);
    if (const std::optional<InputKind> kind = archiveOrDeck(in)) return *kind;
    in.clear();
    in.seekg(0);
    return namesMopac(in) ? InputKind::otherText : InputKind::notMopac;
  }
  return heading->layout == EigenvectorHeading::Layout::older ? InputKind::olderLayout
                                                              : InputKind::newerLayout;
}

std::optional<InputKind> detectFileKind(const std::string& path) {
  std::string error;
  const std::optional<InputSource> source = InputSource::load(path, error);
  const std::unique_ptr<std::istream> text = source ? source->open(error) : nullptr;
  if (!text) return std::nullopt;
  return detectInputKind(*text);
}

OrbitalModel modelFor(InputKind kind, OrbitalModel asked) {
  if (asked != OrbitalModel::automatic) return asked;
  return kind == InputKind::olderLayout ? OrbitalModel::classic : OrbitalModel::exact;
}

}  // namespace lobewright
