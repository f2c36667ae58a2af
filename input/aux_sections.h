#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lobewright {

// A MOPAC .aux file is a list of keyed sections. Each begins with a heading line
// "NAME[:UNITS][[count]]=", which may carry data after the "=", and its data runs on over the
// following lines until the next heading. Lines whose first character is "#" are comments.
struct AuxHeading {
  enum class Count : uint8_t { none, given, unknown, malformed };

  std::string_view name;   // "ATOM_X_OPT", "M.O.SYMMETRY_LABELS"
  std::string_view units;  // "ANGSTROMS"; empty when there are none
  Count countKind = Count::none;
  // The count between the brackets; meaningful when countKind is given. MOPAC prints stars
  // ("[*****]") when a count does not fit its field: the count is then unknown.
  std::size_t count = 0;
  std::string_view countText;  // the text between the brackets, for messages
  std::string_view rest;       // what follows the "=" on the heading line
};

// The heading on a line, or nothing when the line is a data line, a comment or blank.
[[nodiscard]] std::optional<AuxHeading> parseAuxHeading(std::string_view line);

// True for a comment line: its first non-blank character is "#".
[[nodiscard]] bool isAuxComment(std::string_view line);

// True for the lines MOPAC writes around the sections ("START OF MOPAC FILE", "END OF MOPAC
// PROGRAM"): they end the section before them and hold no data.
[[nodiscard]] bool isAuxFrame(std::string_view line);

// The data of one section as read: numbers or words, with the lines they stand on.
struct AuxSection {
  // A line of the file, for messages: its number and its text as a message quotes it.
  struct Line {
    int64_t number = 0;
    std::string quote;
  };
  struct LineStart {
    std::size_t firstEntry = 0;
    Line line;
  };

  std::string name;
  std::string units;
  Line heading;
  std::optional<std::size_t> count;  // empty when the heading gives none or prints stars
  std::string text;                  // what follows the "=" on the heading line, trimmed
  std::vector<double> reals;
  std::vector<std::string> words;
  // Where data lines begin, for the sections that keep them; empty for the others.
  std::vector<LineStart> lineStarts;

  [[nodiscard]] std::size_t size() const { return reals.size() + words.size(); }
  // The line on which an entry stands, for messages; the heading's for a section that keeps no
  // line starts.
  [[nodiscard]] const Line& lineOf(std::size_t entry) const;
};

}  // namespace lobewright
