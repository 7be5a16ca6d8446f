#include "gui/controls/ControlStyles.h"

#include <cmath>

namespace hm::gui {

void drawFilmFrame(CDrawContext* context, const CBitmap* strip, const CRect& rect, CPoint offset,
                   int index, int heightOfOneImage) {
    if (!context || !strip) return;
    strip->draw(*context, rect, CPoint(offset.x, offset.y + index * heightOfOneImage));
}

int filmFrameForValue(float value, float vmin, float vmax, int frames) {
    if (frames <= 1 || vmax == vmin || !std::isfinite(value)) return 0;
    float n = (value - vmin) / (vmax - vmin);
    n = n < 0.f ? 0.f : (n > 1.f ? 1.f : n);
    return static_cast<int>(n * static_cast<float>(frames - 1) + 0.5f);
}

}  // namespace hm::gui
