// EQGraph: the grid buffer (gradient, frequency and dB grid with their labels)
// and the scroll bar under the plot.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/draw/ColumnCurve.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

namespace {

constexpr Rgb kLabelColour = 0xFFFFFF;
constexpr Rgb kDbLabelColour = 0xB4B4B4;
constexpr Rgb kScrollBack = 0x101214;
constexpr Rgb kScrollTrack = 0x2A2E33;
constexpr Rgb kScrollThumb = 0x6A7380;
constexpr Rgb kScrollGrip = 0xC8CDD4;

int gridGrey(int background) {
    static constexpr int kGrey[] = {0, 48, 64, 96};  // Off, Dim, Med, Bright
    return kGrey[std::clamp(background, 0, 3)];
}

int fadeLevel(int index) {
    static constexpr int kLevel[] = {0, 25, 58, 70};  // "0%", "10%", "20%", "30%"
    return kLevel[std::clamp(index, 0, 3)];
}

}  // namespace

void EQGraph::renderBackground() {
    backgroundStale_ = false;
    labelLines_.clear();
    CDIB& g = *grid_;
    CDIB::StateSaver saved(g);
    g.setOrigin(CPoint());
    g.resetClip();
    const int W = view_.width, H = view_.plotHeight;
    // The gradient below covers the plot with opaque rows, so only the rows
    // under it (the scroll bar's place) come from the clean background.
    if (CDIB* clean = backgroundBuffer())
        g.copyRect(*clean, CRect(0, H, getWidth(), std::max(H, getHeight())), CPoint(0, H));
    g.setClipRect(CRect(0, 0, W, H));

    // Gradient: the upper half fades from grey L at the top to black in the middle.
    const int level = fadeLevel(flags2(19, 2));
    for (int i = 0; i < H; ++i) {
        const int grey = i < H / 2 ? (H - 2 * i) * level / H : 0;
        g.fillRect(CRect(0, i, W, i + 1), makeRgb(grey, grey, grey));
    }

    const int background = flags1(18, 2);
    const Rgb lineColour = makeRgb(gridGrey(background), gridGrey(background), gridGrey(background));
    const std::vector<GridLine> lines = frequencyGrid(view_, flags1(11, 1) != 0);
    if (background != 0) {
        // Lines half a pixel wide: half the colour in the pixel column they cross.
        for (const GridLine& line : lines) {
            const int x = static_cast<int>(std::floor(xOfFrequency(view_, line.hz)));
            fillColumnSpan(g, x, 0.f, static_cast<float>(H), lineColour, line.tenth ? 0.25f : 0.5f);
        }
        const int n = dbLineCount(view_.rangeShown);
        for (int i = 0; i < n; ++i) {
            const double y = dbLineY(view_, i, n);
            g.fillRect(CRect(0, static_cast<int>(y), W, static_cast<int>(y) + 1), lineColour, 0.5f);
        }
    }

}

// The labels go over whatever the analyser drew, so they stay readable on it;
// their places are worked out with the grid.
void EQGraph::drawGridLabels(CDIB& d) {
    const int W = view_.width, H = view_.plotHeight;
    if (font_.valid()) {
        if (labelLines_.empty()) {
            labelLines_ = frequencyGrid(view_, flags1(11, 1) != 0);
            labelLeft_ = placeFrequencyLabels(view_, labelLines_, [this](const std::string& t) { return font_.measure(t); });
        }
        for (std::size_t i = 0; i < labelLines_.size(); ++i)
            if (labelLeft_[i] >= 0) font_.draw(d, labelLeft_[i], H - 11, labelLines_[i].label, kLabelColour);
    }
    // dB labels right-aligned 4 pixels from the right edge; the bottom line has none.
    const StripFont& dbFont = font2_.valid() ? font2_ : font_;
    if (dbFont.valid()) {
        const int n = dbLineCount(view_.rangeShown);
        for (int i = 0; i + 1 < n; ++i) {
            char text[16];
            std::snprintf(text, sizeof text, "%2.0fdB", view_.rangeShown - 6.0 * i);
            const int w = dbFont.measure(text);
            dbFont.draw(d, W - 4 - w, dbLabelTop(view_, i, n), text, kDbLabelColour);
        }
    }
}

void EQGraph::renderScrollBar(CDIB& d, int top) {
    const int W = view_.width;
    d.fillRect(CRect(0, top, W, top + kScrollBarHeight), kScrollBack);
    // Track from 9.5 to W − 9.5, the thumb between the edges' positions.
    const CRect track(9, top + 7, std::max(10, W - 9), top + 12);
    d.fillRoundRect(track, 2.5f, kScrollTrack);
    const ScrollThumb t = scrollThumb(view_);
    const float x1 = static_cast<float>(t.x1), x2 = static_cast<float>(std::max(t.x2, t.x1 + 6.0));
    const CRect thumb(static_cast<int>(std::floor(x1 - 4)), top + 4, static_cast<int>(std::ceil(x2 + 4)),
                      top + kScrollBarHeight - 4);
    d.fillRoundRect(thumb, 5.5f, kScrollThumb);
    // Grips at the two edges that drag fMin and fMax.
    d.drawLine(x1, static_cast<float>(top + 6), x1, static_cast<float>(top + kScrollBarHeight - 6), kScrollGrip, 1.f, 2.f);
    d.drawLine(x2, static_cast<float>(top + 6), x2, static_cast<float>(top + kScrollBarHeight - 6), kScrollGrip, 1.f, 2.f);
}

}  // namespace hm::gui
