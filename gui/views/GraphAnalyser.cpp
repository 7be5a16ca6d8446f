#include "gui/views/GraphAnalyser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/SpectrumColumns.h"
#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "gui/draw/CDIB.h"
#include "gui/draw/ColumnCurve.h"
#include "gui/draw/Fonts.h"
#include "gui/editor/BandColour.h"

namespace hm::gui::graph {
namespace {

int bits(std::uint32_t word, int shift, int count) { return static_cast<int>((word >> shift) & ((1u << count) - 1u)); }

constexpr Rgb kScaleColour = makeRgb(87, 133, 166);
constexpr Rgb kPrimaryColour = 0xFFFFFF;
constexpr float kFillShare = 0.35f;

}  // namespace

AnalyserSettings analyserSettingsFromFlags(std::uint32_t f1, std::uint32_t f2, double decay) {
    static constexpr float kOpacity[] = {1.f, 0.75f, 0.5f, 0.25f};
    static constexpr double kRange[] = {96, 80, 64, 48};
    static constexpr double kTilt[] = {0, 3, 4.5, 6};
    static constexpr int kSmoothing[] = {1, 2, 4, 8};
    static constexpr double kTop[] = {0, -12, -24, -36};
    static constexpr double kSaturation[] = {1.0, 0.66, 0.33, 0.0};
    AnalyserSettings s;
    s.decay = std::isfinite(decay) ? std::clamp(decay, 0.0, 1.0) : 0.8;
    s.opacity = kOpacity[bits(f1, 7, 2)];
    s.range = kRange[bits(f1, 9, 2)];
    s.tilt = kTilt[bits(f1, 13, 2)];
    s.smoothing = kSmoothing[bits(f1, 15, 2)];
    s.secondaryColour = bits(f1, 17, 1) ? makeRgb(255, 0, 0) : makeRgb(26, 85, 129);
    s.display = std::min(bits(f1, 25, 2), 2);
    s.top = kTop[bits(f1, 28, 2)];
    s.summed = bits(f2, 2, 2) == 1;
    s.saturation = kSaturation[bits(f2, 15, 2)];
    return s;
}

GraphAnalyser::GraphAnalyser()
    : samples_(analysis::kSpectrumSize), depth_(analysis::kSpectrumBins) {
    sources_[0].code = 0;
    sources_[1].code = 1;
    resize(1);
}

void GraphAnalyser::resolve(Source& s) {
    s.instance = nullptr;
    if (s.code < 0) return;
    const int k = s.code >> 8;
    if (k == 0) {
        s.instance = self_;
        return;
    }
    const std::vector<Plug*> others = otherInstances(self_);
    if (k - 1 < static_cast<int>(others.size())) s.instance = others[static_cast<std::size_t>(k - 1)];
}

void GraphAnalyser::setSource(int which, int code) {
    Source& s = sources_[which & 1];
    s.code = code < 0 ? -1 : code;
    resolve(s);
}

int GraphAnalyser::sourcePosition(int which) const {
    const Source& s = sources_[which & 1];
    return s.instance ? instancePosition(s.instance) : -1;
}

void GraphAnalyser::dropVanishedSources() {
    for (Source& s : sources_) {
        if (s.code < 0) continue;
        if (!s.instance || instancePosition(s.instance) < 0) {
            s.code = -1;
            s.instance = nullptr;
        }
    }
}

void GraphAnalyser::resize(int columns) {
    const std::size_t n = static_cast<std::size_t>(std::max(columns, 1));
    for (auto& h : held_) h.assign(n, 0.0);
    columnDepth_.assign(n, 1.0);
    scratch_.assign(n, 0.0);
    history_.assign(n * kHistoryRows, 0.0);
    head_ = 0;
}

void GraphAnalyser::fetch(Source& s, std::vector<double>& out) {
    bool read = false;
    if (s.code >= 0 && s.instance) {
        // The registry holds the instance while it is read; once it has left the
        // registry it loses its place here and reads as silence.
        const int channel = s.code & 15;
        read = withRegisteredInstance(s.instance, [&](Plug& p) {
            p.readAnalyserHistory(out.data(), analysis::kSpectrumSize, channel);
        });
        if (!read) s.instance = nullptr;
    }
    if (!read) std::fill(out.begin(), out.end(), 0.0);
}

void GraphAnalyser::analyse(const std::vector<double>& samples, const AnalyserSettings& s, const AnalyserGeometry& g,
                            std::vector<double>& held) {
    const analysis::DepthScale scale{s.top, s.range, s.tilt, g.nyquist};
    frame_.depths(samples.data(), scale, depth_.data());
    const int n = columns();
    analysis::columnDepths(depth_.data(), n, g.fMin, g.fMax, g.nyquist, columnDepth_.data());
    analysis::holdLevels(held.data(), columnDepth_.data(), n, s.decay);
    analysis::smoothLevels(held.data(), n, s.smoothing, scratch_.data());
}

void GraphAnalyser::computeFrame(const AnalyserSettings& s, const AnalyserGeometry& g) {
    if (frozen_) return;
    if (columns() != g.columns) resize(g.columns);
    fetch(sources_[0], samples_);
    analyse(samples_, s, g, held_[0]);
    fetch(sources_[1], samples_);
    analyse(samples_, s, g, held_[1]);
}

double GraphAnalyser::held(int which, int column) const {
    const std::vector<double>& h = held_[which & 1];
    return column >= 0 && column < static_cast<int>(h.size()) ? h[static_cast<std::size_t>(column)] : 0.0;
}

double GraphAnalyser::heldDb(int which, int column, const AnalyserSettings& s) const {
    return s.top - (1.0 - held(which, column)) * s.range;
}

Rgb GraphAnalyser::hueAt(int x, double saturation, double value, const AnalyserGeometry& g) const {
    // Once around the colour wheel from 270° at 10 Hz to 270° at Nyquist.
    const double full = std::log(std::max(2.0, g.nyquist / 10.0));
    const double c0 = std::log(g.fMin / 10.0) / full;
    const double c1 = std::log(g.fMax / g.fMin) / (std::max(1, g.columns) * full);
    return hsvColour(std::fmod((x * c1 + c0) * 360.0 + 270.0, 360.0), saturation, value);
}

void GraphAnalyser::draw(CDIB& d, int type, const AnalyserSettings& s, const AnalyserGeometry& g) {
    const int n = std::min(columns(), g.columns);
    const float bottom = static_cast<float>(g.height + 1);
    const auto yOf = [&](double level) { return static_cast<float>((1.0 - level) * (g.height + 1)); };
    const float a = s.opacity;
    switch (type) {
        case kAnalyserCurves: {
            const bool both = !s.summed;
            std::vector<float> y1(static_cast<std::size_t>(n)), y2(static_cast<std::size_t>(n));
            for (int x = 0; x < n; ++x) {
                y1[x] = yOf(held_[0][x]);
                y2[x] = yOf(held_[1][x]);
                if (s.summed) y1[x] = 0.5f * (y1[x] + y2[x]);
            }
            if (s.display != 1) {
                // The fill is a tinted sheet behind the curves (the preference's
                // opacity scaled down, so even "100%" leaves the grid and the
                // equaliser readable); the outline carries the level.
                const float sheet = a * kFillShare;
                const std::vector<float> floor(static_cast<std::size_t>(n), bottom);
                fillColumnSpans(d, 0, y1.data(), floor.data(), n, kPrimaryColour, sheet);
                if (both) fillColumnSpans(d, 0, y2.data(), floor.data(), n, s.secondaryColour, sheet);
            }
            if (s.display != 0) {
                drawColumnCurve(d, 0, y1.data(), n, kPrimaryColour, 1.f, 1.f);
                if (both) drawColumnCurve(d, 0, y2.data(), n, s.secondaryColour, 1.f, 1.f);
            }
            break;
        }
        case kThirdOctave:
        case kTwelfthOctave: {
            const double bands = type == kThirdOctave ? 3.0 : 12.0;
            const double step = n * std::log(2.0) / (std::log(g.fMax / g.fMin) * bands);
            if (!(step > 0.5)) break;
            const int gap = step >= 4.0 ? 1 : 0;
            for (double x = step / 2; x < n; x += step) {
                const int lo = static_cast<int>(std::floor(x)), hi = std::min(n - 1, static_cast<int>(std::ceil(x)));
                const double level = std::max(held_[0][lo], held_[0][hi]);
                const int left = static_cast<int>(std::lround(x - step / 2));
                const int right = static_cast<int>(std::lround(x + step / 2)) - gap;
                d.fillRect(CRect(left, static_cast<int>(yOf(level)), std::max(right, left + 1), g.height),
                           hueAt(static_cast<int>(x), s.saturation, 1.0, g), a);
            }
            break;
        }
        case kSpectrograph: {
            std::copy(held_[0].begin(), held_[0].begin() + n,
                      history_.begin() + static_cast<std::ptrdiff_t>(head_) * columns());
            for (int i = 0; i < kHistoryRows; ++i) {
                const int row = (head_ - i + kHistoryRows) % kHistoryRows;
                const double* levels = history_.data() + static_cast<std::size_t>(row) * columns();
                const float y0 = static_cast<float>(i) * g.height / (kHistoryRows + 1);
                const float y1 = static_cast<float>(i + 1) * g.height / (kHistoryRows + 1);
                for (int x = 0; x < n; ++x)
                    fillColumnSpan(d, x, y0, y1, hueAt(x, s.saturation, std::clamp(levels[x], 0.0, 1.0), g), a);
            }
            head_ = (head_ + 1) % kHistoryRows;
            break;
        }
        case kBrightnessBars:
        case kBrightnessAnalyser:
            for (int x = 0; x < n; ++x) {
                const double v = std::clamp(held_[0][x], 0.0, 1.0);
                const float top = type == kBrightnessBars ? 0.f : yOf(held_[0][x]);
                fillColumnSpan(d, x, top, static_cast<float>(g.height), hueAt(x, s.saturation, v, g), a);
            }
            break;
        default: break;
    }
}

namespace {
// The analyser's dB labels start right of the scale tray's tab (14 pixels at
// the graph's left edge), which would otherwise hide the label beside it.
constexpr int kScaleLeft = 18;
}  // namespace

void GraphAnalyser::drawScale(CDIB& d, const StripFont& font, const AnalyserSettings& s, int height, int rows) const {
    if (!font.valid() || rows < 2) return;
    for (int i = 0; i <= rows - 2; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%2.0fdB", s.top - i * s.range / (rows - 1));
        int y = (height - 1) * i / (rows - 1) - 4;
        y = std::max(y, 2);
        if (y + 9 >= height) y = height - 9;
        font.draw(d, kScaleLeft, y, text, kScaleColour);
    }
}

}  // namespace hm::gui::graph
