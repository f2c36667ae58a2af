#include "writers/diagram_svg.h"

#include "writers/svg_text.h"

namespace lobewright {
namespace {

const char* anchorName(TextAnchor anchor) {
  switch (anchor) {
    case TextAnchor::middle:
      return "middle";
    case TextAnchor::end:
      return "end";
    case TextAnchor::start:
      break;
  }
  return "start";
}

void appendPoint(std::string& svg, DiagramPoint p) { svg += svgNumber(p.x) + "," + svgNumber(p.y); }

}  // namespace

std::string diagramSvg(const DiagramLayout& layout, const std::string& title) {
  const std::string width = svgNumber(layout.width);
  const std::string height = svgNumber(layout.height);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
         "\" viewBox=\"0 0 " + width + " " + height + "\" font-family=\"sans-serif\">\n<title>";
  appendSvgText(svg, title);
  svg += "</title>\n<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n";
  for (const DiagramLine& line : layout.lines) {
    svg += "<line x1=\"" + svgNumber(line.from.x) + "\" y1=\"" + svgNumber(line.from.y) +
           "\" x2=\"" + svgNumber(line.to.x) + "\" y2=\"" + svgNumber(line.to.y) + "\" stroke=\"" +
           svgColour(line.colour) + "\" stroke-width=\"" + svgNumber(line.width) + "\"/>\n";
  }
  for (const DiagramTriangle& triangle : layout.triangles) {
    svg += "<polygon points=\"";
    for (std::size_t i = 0; i < triangle.corners.size(); ++i) {
      if (i > 0) svg.push_back(' ');
      appendPoint(svg, triangle.corners[i]);
    }
    svg += "\" fill=\"" + svgColour(triangle.colour) + "\"/>\n";
  }
  for (const DiagramText& text : layout.texts) {
    svg += "<text x=\"" + svgNumber(text.at.x) + "\" y=\"" + svgNumber(text.at.y) +
           "\" font-size=\"" + svgNumber(text.size) + "\" fill=\"" + svgColour(text.colour) + "\"";
    if (text.anchor != TextAnchor::start) {
      svg += std::string(" text-anchor=\"") + anchorName(text.anchor) + "\"";
    }
    if (text.bold) svg += " font-weight=\"bold\"";
    svg += " xml:space=\"preserve\">";
    appendSvgText(svg, text.text);
    svg += "</text>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace lobewright
