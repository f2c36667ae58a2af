#pragma once

#include <QFont>
#include <QString>
#include <vector>

namespace lobewright {

struct CaptionRoom {
  QString caption;
  int width;  // pixels the caption may take
};

// The font at the largest pixel size from `largest` down to `smallest` at which every caption
// fits its room; at `smallest` when none does. The window's geometry is fixed in pixels, and
// the desktop's font may be wider than the one it was laid out for.
[[nodiscard]] QFont fittingFont(QFont font, int largest, int smallest,
                                const std::vector<CaptionRoom>& captions);

}  // namespace lobewright
