#include "input/modern_mopac_reader.h"

#include <utility>

namespace lobewright {

void OutputPreamble::see(std::string_view token, int64_t line) {
  if (m_method.empty() && token == "RESULTS" && m_previous == "CALCULATION") {
    m_method = m_beforePrevious;
  }
  m_beforePrevious = std::move(m_previous);
  m_previous = token;
  m_coordinates.see(token, line);
}

}  // namespace lobewright
