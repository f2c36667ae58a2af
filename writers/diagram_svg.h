#pragma once

#include <string>

#include "writers/level_diagram_layout.h"

namespace lobewright {

// A laid-out level diagram as an SVG document: real text in a generic sans-serif font, lines and
// the arrows' heads as shapes, on a white page of the layout's size in pixels. `title` names the
// document.
[[nodiscard]] std::string diagramSvg(const DiagramLayout& layout, const std::string& title);

}  // namespace lobewright
