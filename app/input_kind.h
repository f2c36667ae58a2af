#pragma once

#include <istream>
#include <optional>
#include <string>

#include "app/conversion_settings.h"

namespace lobewright {

// What a file is, told from its content rather than its name.
enum class InputKind {
  olderLayout,  // MOPAC 6 output: "ROOT NO." eigenvector blocks
  newerLayout,  // MOPAC 7, 2016 or 22 output: "Root No." blocks
  aux,          // MOPAC's .aux file (keyword AUX)
  mgf,          // MOPAC's graphics file (keyword GRAPHF)
  otherText,    // MOPAC's output without eigenvectors; its reader says what is missing
  archive,      // MOPAC's archive (.arc): a summary of a run, without orbitals
  inputDeck,    // an input for MOPAC (.mop): keywords, title and geometry, no results yet
  notMopac,     // no MOPAC file at all
};

[[nodiscard]] InputKind detectInputKind(std::istream& in);
// The kind of the named file (or "-"), or nothing when it cannot be read as an input.
[[nodiscard]] std::optional<InputKind> detectFileKind(const std::string& path);

// The model a conversion of this kind of input uses: the one asked for, or, when that is
// automatic, classic for the older layout, so that its scenes stay as they have always been,
// and exact for everything else.
[[nodiscard]] OrbitalModel modelFor(InputKind kind, OrbitalModel asked);

}  // namespace lobewright
