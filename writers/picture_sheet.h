#pragma once

#include <string>
#include <vector>

namespace lobewright {

// Pictures laid out on one page with their captions: a gallery of MOs, or one picture with a line
// under it. The pictures are PNG files, embedded in an SVG document that librsvg renders.

struct SheetPanel {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;  // of the picture, which the caption lines follow
  double height = 0.0;
  std::string png;                   // the picture's bytes
  std::vector<std::string> caption;  // lines under the picture, centred
};

struct PictureSheet {
  int width = 0;
  int height = 0;
  double fontSize = 12.0;  // pixels
  std::string title;       // over the panels, when not empty
  std::vector<SheetPanel> panels;
};

// Where `count` panels go on a page: the columns and rows that give the pictures the most room,
// and each picture's size in whole pixels, under a title line when the sheet has one and above
// `captionLines` lines of text.
struct SheetGrid {
  int columns = 1;
  int rows = 1;
  double fontSize = 12.0;
  double top = 0.0;  // of the first row, below the title
  double cellWidth = 0.0;
  double cellHeight = 0.0;
  int pictureWidth = 0;  // pixels
  int pictureHeight = 0;
};
[[nodiscard]] SheetGrid sheetGrid(int count, int width, int height, int captionLines, bool titled);

// The panel of the grid's cell `index` (row by row), without its picture and caption.
[[nodiscard]] SheetPanel sheetPanel(const SheetGrid& grid, int index);

// The sheet as an SVG document on a white page; text in a generic sans-serif font.
[[nodiscard]] std::string pictureSheetSvg(const PictureSheet& sheet);

}  // namespace lobewright
