#include "gui/views/ScrollBarPaint.h"

#include <algorithm>
#include <cmath>

namespace hm::gui {

namespace {
constexpr Rgb kTrack = 0x1A1A1A;
constexpr Rgb kFrame = 0x3A3A3A;  // (58, 58, 58)
constexpr Rgb kThumb = 0x5785A6;  // (87, 133, 166)
}  // namespace

ViewClip::ViewClip(CDrawContext& context, const CRect& updateRect, const CRect& view) : saved_(context) {
    CRect clip = context.getClipRect();
    clip.bound(updateRect);
    clip.bound(view);
    empty_ = clip.isEmpty();
    if (!empty_) context.setClipRect(clip);
}

void drawScrollBar(CDrawContext& context, const CRect& bar, bool horizontal, float position, int visible, int content,
                   int minimumThumb) {
    context.fillRect(bar, kTrack);
    context.frameRect(bar, kFrame);
    const int track = (horizontal ? bar.width() : bar.height()) - 4;
    if (track <= 0) return;
    const int thumb = std::clamp(track * visible / std::max(1, content), std::min(minimumThumb, track), track);
    const int start = 2 + static_cast<int>(std::lround(position * static_cast<float>(track - thumb)));
    const CRect r = horizontal ? CRect(bar.left + start, bar.top + 3, bar.left + start + thumb, bar.bottom - 3)
                               : CRect(bar.left + 3, bar.top + start, bar.right - 3, bar.top + start + thumb);
    context.fillRoundRect(r, 2.f, kThumb);
}

}  // namespace hm::gui
