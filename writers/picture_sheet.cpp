#include "writers/picture_sheet.h"

#include <algorithm>
#include <cmath>

#include "writers/base64.h"
#include "writers/svg_text.h"

namespace lobewright {
namespace {

constexpr double kLineHeight = 1.3;  // of the font size
constexpr double kPadding = 0.4;     // of the font size, around each picture

}  // namespace

SheetGrid sheetGrid(int count, int width, int height, int captionLines, bool titled) {
  SheetGrid grid;
  count = std::max(count, 1);
  grid.fontSize = std::clamp(std::min(width, height) / 55.0, 8.0, 20.0);
  const double f = grid.fontSize;
  grid.top = titled ? 2.0 * f : 0.0;
  const double captionHeight = captionLines * kLineHeight * f + (captionLines > 0 ? 0.3 * f : 0.0);
  double best = -1.0;
  for (int columns = 1; columns <= count; ++columns) {
    const int rows = (count + columns - 1) / columns;
    const double cellWidth = static_cast<double>(width) / columns;
    const double cellHeight = (height - grid.top) / rows;
    const double pictureWidth = std::floor(cellWidth - 2.0 * kPadding * f);
    const double pictureHeight = std::floor(cellHeight - captionHeight - 2.0 * kPadding * f);
    // The room a picture of the usual 4:3 shape would have.
    const double room = std::min(pictureWidth, pictureHeight * 4.0 / 3.0);
    if (room > best) {
      best = room;
      grid.columns = columns;
      grid.rows = rows;
      grid.cellWidth = cellWidth;
      grid.cellHeight = cellHeight;
      grid.pictureWidth = static_cast<int>(std::max(pictureWidth, 0.0));
      grid.pictureHeight = static_cast<int>(std::max(pictureHeight, 0.0));
    }
  }
  return grid;
}

SheetPanel sheetPanel(const SheetGrid& grid, int index) {
  const int row = index / grid.columns;
  const int column = index % grid.columns;
  SheetPanel panel;
  panel.left = column * grid.cellWidth + 0.5 * (grid.cellWidth - grid.pictureWidth);
  panel.top = grid.top + row * grid.cellHeight + kPadding * grid.fontSize;
  panel.width = grid.pictureWidth;
  panel.height = grid.pictureHeight;
  return panel;
}

std::string pictureSheetSvg(const PictureSheet& sheet) {
  const std::string width = svgNumber(sheet.width);
  const std::string height = svgNumber(sheet.height);
  const double f = sheet.fontSize;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg +=
      "<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
      width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height +
      "\" font-family=\"sans-serif\">\n";
  svg += "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n";
  if (!sheet.title.empty()) {
    svg += "<text x=\"" + svgNumber(sheet.width / 2.0) + "\" y=\"" + svgNumber(1.35 * f) +
           "\" font-size=\"" + svgNumber(1.1 * f) +
           "\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"#1a1a1a\">";
    appendSvgText(svg, sheet.title);
    svg += "</text>\n";
  }
  for (const SheetPanel& panel : sheet.panels) {
    svg += "<image x=\"" + svgNumber(panel.left) + "\" y=\"" + svgNumber(panel.top) +
           "\" width=\"" + svgNumber(panel.width) + "\" height=\"" + svgNumber(panel.height) +
           "\" xlink:href=\"data:image/png;base64," + base64(panel.png) + "\"/>\n";
    double baseline = panel.top + panel.height + 0.3 * f;
    for (const std::string& line : panel.caption) {
      baseline += kLineHeight * f;
      svg += "<text x=\"" + svgNumber(panel.left + panel.width / 2.0) + "\" y=\"" +
             svgNumber(baseline - 0.3 * f) + "\" font-size=\"" + svgNumber(f) +
             "\" text-anchor=\"middle\" fill=\"#1a1a1a\">";
      appendSvgText(svg, line);
      svg += "</text>\n";
    }
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace lobewright
