#include "app/input_kind.h"

#include <string>

#include "app/input_source.h"
#include "input/eigenvector_heading.h"
#include "input/modern_mopac_reader.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// MOPAC's .aux files open with these lines; its graphics files with the atom count and
// "MOPAC-Graphical data". Every output names the program in its first lines.
constexpr std::string_view kAuxOpening = "START OF MOPAC";
constexpr std::string_view kGraphicsOpening = "MOPAC-Graphical";
constexpr std::string_view kProgramName = "MOPAC";
constexpr int kLinesNamingTheProgram = 200;

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
