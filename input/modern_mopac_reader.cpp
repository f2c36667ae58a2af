#include "input/modern_mopac_reader.h"

#include <utility>

namespace lobewright {

void OutputPreamble::see(std::string_view word, int64_t line, std::string_view lineText) {
  if (m_method.empty() && word == "RESULTS" && m_previous == "CALCULATION") {
    m_method = m_beforePrevious;
  }
  m_beforePrevious = std::move(m_previous);
  m_previous = word;
  m_coordinates.see(word, line, lineText);
}

}  // namespace lobewright
