#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "input/coordinate_table.h"

namespace lobewright {

// What the newer layout's reader needs from the text before the eigenvectors: the method the
// output names in its heading, and the last table of Cartesian coordinates, which is the final
// geometry in MOPAC 2016 and later.
class OutputPreamble {
 public:
  // Takes the text's words in order, each with the number and the text of its line.
  void see(std::string_view word, int64_t line, std::string_view lineText);

  // "PM3", "PM7", ... from "<method> CALCULATION RESULTS"; empty when the output names none.
  [[nodiscard]] const std::string& method() const { return m_method; }
  [[nodiscard]] const CoordinateTableScanner& coordinates() const { return m_coordinates; }

 private:
  std::string m_method;
  std::string m_previous;
  std::string m_beforePrevious;
  CoordinateTableScanner m_coordinates;
};

}  // namespace lobewright
