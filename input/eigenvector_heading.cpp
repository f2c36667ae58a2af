#include "input/eigenvector_heading.h"

#include "input/modern_mopac_reader.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

constexpr std::string_view kTitle = "EIGENVECTORS";
constexpr std::string_view kNewPage = "1";

}  // namespace

bool isEigenvectorTitle(const std::vector<std::string_view>& words) {
  if (words.size() == 1) return words[0] == kTitle;
  return words.size() == 2 && (words[0] == "ALPHA" || words[0] == "BETA") && words[1] == kTitle;
}

bool isFiller(const std::vector<std::string_view>& words) {
  return words.empty() || (words.size() == 1 && words[0] == kNewPage);
}

std::optional<EigenvectorHeading> findEigenvectorHeading(LineReader& lines,
                                                         OutputPreamble& preamble) {
  bool afterTitle = false;
  while (lines.next()) {
    const std::vector<std::string_view> words = lines.words();
    if (words.empty()) continue;
    const std::string_view first = words.front();
    if (afterTitle && (first == kOlderLayoutHeading || first == kNewerLayoutHeading)) {
      return EigenvectorHeading{first == kOlderLayoutHeading ? EigenvectorHeading::Layout::older
                                                             : EigenvectorHeading::Layout::newer};
    }
    afterTitle = isEigenvectorTitle(words) || (afterTitle && isFiller(words));
    for (const std::string_view word : words) preamble.see(word, lines.lineNumber(), lines.line());
  }
  return std::nullopt;
}

}  // namespace lobewright
