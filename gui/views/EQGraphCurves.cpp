// EQGraph: band responses, view totals, the shown dB range, and the curves.
#include <cmath>

#include "core/Plug.h"
#include "gui/draw/ColumnCurve.h"
#include "gui/views/EQGraph.h"

namespace hm::gui {

using namespace graph;

namespace {

constexpr Rgb kPrimaryTotal = 0xFFFFFF;
constexpr Rgb kSecondaryTotal = makeRgb(0, 0, 255);

float bandOpacity(int index) {
    static constexpr float kOpacity[] = {0.25f, 0.37f, 0.5f, 0.75f};
    return kOpacity[std::clamp(index, 0, 3)];
}

}  // namespace

Rgb greyedColour(Rgb c) {
    return makeRgb((rgbRed(c) + 384) / 4, (rgbGreen(c) + 384) / 4, (rgbBlue(c) + 384) / 4);
}

void EQGraph::columnsChanged() {
    const int n = std::max(1, view_.width);
    std::vector<double> hz(static_cast<std::size_t>(n));
    for (int x = 0; x < n; ++x) hz[static_cast<std::size_t>(x)] = frequencyOfX(view_, x);
    responses_.setColumns(std::move(hz));
    for (auto& t : total_) t.assign(static_cast<std::size_t>(n), 0.f);
    scratchY_.assign(static_cast<std::size_t>(n), 0.f);
    zeroY_.assign(static_cast<std::size_t>(n), 0.f);
    curvesStale_ = true;
}

void EQGraph::updateCurves() {
    const double t0 = threadSeconds();
    curvesStale_ = false;
    Plug* p = plug();
    if (p) {
        const double nyquist = p->getSampleRate() > 0.f ? p->getSampleRate() * 0.5 : 22050.0;
        if (nyquist != view_.fNyquist) {
            const bool full = view_.fMax >= view_.fNyquist;
            view_.fNyquist = nyquist;
            if (full) view_.fMax = nyquist;
            viewChanged();
            curvesStale_ = false;
        }
        readBands(*p, bands_);
    } else {
        bands_ = BandSet{};
    }
    bandsRead_ = true;
    std::uint32_t wanted = 0;
    double range = rangeSetting_;
    for (int b = 0; b < kBandCount; ++b) {
        const GraphBand& g = bands_.bands[b];
        if (!isShown(g, primaryView_, secondaryView_)) continue;
        wanted |= 1u << b;
        if (g.type != 6) range = expandRange(range, std::fabs(g.gain));
    }
    responses_.update(bands_, wanted);
    const double t1 = threadSeconds();
    responses_.viewTotal(bands_, primaryView_, total_[0].data());
    responses_.viewTotal(bands_, secondaryView_, total_[1].data());
    cost_.bands = t1 - t0;
    cost_.totals = threadSeconds() - t1;
    if (range != view_.rangeShown) {
        view_.rangeShown = range;
        backgroundStale_ = true;
    }
    placeHandles();
}

double EQGraph::totalDbAt(int view, int column) {
    if (curvesStale_) updateCurves();
    const int which = view == secondaryView_ && view != primaryView_ ? 1 : 0;
    if (column < 0 || column >= static_cast<int>(total_[which].size())) return 0.0;
    return total_[which][static_cast<std::size_t>(column)];
}

void EQGraph::drawCurves(CDIB& d) {
    const int display = flags1(1, 2);  // All, Total, Bands, Off
    const int n = responses_.columns();
    const float zero = static_cast<float>(yOfDb(view_, 0.0));
    std::fill(zeroY_.begin(), zeroY_.end(), zero);
    float* y = scratchY_.data();
    const auto toRows = [&](const float* db) {
        for (int x = 0; x < n; ++x) y[x] = static_cast<float>(yOfDb(view_, db[x]));
    };
    if (display == 0 || display == 2) {
        const bool filled = flags1(3, 1) == 0;
        const float fill = bandOpacity(flags2(17, 2));
        for (int b = 0; b < kBandCount; ++b) {
            const GraphBand& g = bands_.bands[b];
            if (!isShown(g, primaryView_, secondaryView_)) continue;
            toRows(responses_.db(b));
            if (g.state == 1) {
                // Bypassed: an outline in the greyed colour, nothing filled.
                drawColumnCurve(d, 0, y, n, greyedColour(colourOf(b)), 0.35f, 1.f);
                continue;
            }
            const Rgb c = colourOf(b);
            if (filled) {
                const float a = b == dragBand_ ? fill + panelOpacity_ * 0.25f : fill;
                fillColumnSpans(d, 0, zeroY_.data(), y, n, c, a);
            }
            drawColumnCurve(d, 0, y, n, c, 0.5f, 1.f);
        }
    }
    if (display == 0 || display == 1) {
        // The secondary view first, so the primary's white stays on top where they meet.
        const bool second = secondaryView_ >= 0 && secondaryView_ < 8 && secondaryView_ != primaryView_;
        if (second) {
            toRows(total_[1].data());
            drawColumnCurve(d, 0, y, n, kSecondaryTotal, 1.f, 2.f);
        }
        if (primaryView_ >= 0 && primaryView_ < 8) {
            toRows(total_[0].data());
            drawColumnCurve(d, 0, y, n, kPrimaryTotal, 1.f, 2.f);
        }
    }
}

}  // namespace hm::gui
