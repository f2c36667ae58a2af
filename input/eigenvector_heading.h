#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "input/text_scan.h"

namespace lobewright {

class OutputPreamble;

// The first word of an eigenvector block's heading line: "ROOT NO." up to MOPAC 6, "Root No."
// from MOPAC 7 on.
inline constexpr std::string_view kOlderLayoutHeading = "ROOT";
inline constexpr std::string_view kNewerLayoutHeading = "Root";

// A section of eigenvectors is titled "EIGENVECTORS" on a line of its own, or "ALPHA
// EIGENVECTORS" and "BETA EIGENVECTORS" in a UHF run. The keyword's echo in the output's header
// ("VECTORS - FINAL EIGENVECTORS TO BE PRINTED", "ALLVEC - PRINT ALL EIGENVECTORS") is no title.
[[nodiscard]] bool isEigenvectorTitle(const std::vector<std::string_view>& words);

// The blank lines and MOPAC's page breaks (a line holding only "1") that may stand between any
// two lines of a section.
[[nodiscard]] bool isFiller(const std::vector<std::string_view>& words);

struct EigenvectorHeading {
  enum class Layout { older, newer };
  Layout layout = Layout::newer;
};

// Reads up to the first block of the first eigenvector section: a title, then, after blank lines
// and page breaks at most, a block heading. Every word before the block heading goes to the
// preamble. The reader is left at the heading's line; nothing is found when the text ends first
// or holds a line the reader cannot give (see LineReader::failed()).
[[nodiscard]] std::optional<EigenvectorHeading> findEigenvectorHeading(LineReader& lines,
                                                                       OutputPreamble& preamble);

}  // namespace lobewright
