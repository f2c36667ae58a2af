#include "window/form_font.h"

#include <QFontMetrics>
#include <algorithm>

namespace lobewright {

QFont fittingFont(QFont font, int largest, int smallest, const std::vector<CaptionRoom>& captions) {
  for (int pixelSize = largest; pixelSize > smallest; --pixelSize) {
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    const bool fits = std::all_of(captions.begin(), captions.end(), [&](const CaptionRoom& room) {
      return metrics.horizontalAdvance(room.caption) <= room.width;
    });
    if (fits) return font;
  }
  font.setPixelSize(smallest);
  return font;
}

}  // namespace lobewright
