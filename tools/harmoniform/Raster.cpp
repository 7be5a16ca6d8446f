#include "tools/harmoniform/Raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>

#include "tools/harmoniform/PlotFont.h"

namespace hm::tool {

Raster::Raster(int width, int height, Rgb background)
    : width_(std::max(1, width)), height_(std::max(1, height)), clipX1_(width_), clipY1_(height_) {
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
    for (std::size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = background.r;
        pixels_[i + 1] = background.g;
        pixels_[i + 2] = background.b;
    }
}

void Raster::clip(int x0, int y0, int x1, int y1) {
    clipX0_ = std::clamp(x0, 0, width_);
    clipY0_ = std::clamp(y0, 0, height_);
    clipX1_ = std::clamp(x1, 0, width_);
    clipY1_ = std::clamp(y1, 0, height_);
}

void Raster::clearClip() { clip(0, 0, width_, height_); }

void Raster::blend(int x, int y, Rgb colour, double opacity) {
    if (x < clipX0_ || y < clipY0_ || x >= clipX1_ || y >= clipY1_ || !(opacity > 0.0)) return;
    const double a = std::min(opacity, 1.0);
    std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3];
    const auto mix = [a](std::uint8_t under, std::uint8_t over) {
        return static_cast<std::uint8_t>(std::lround(under + (over - under) * a));
    };
    p[0] = mix(p[0], colour.r);
    p[1] = mix(p[1], colour.g);
    p[2] = mix(p[2], colour.b);
}

void Raster::fillRect(int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = std::max(y0, clipY0_); y < std::min(y1, clipY1_); ++y)
        for (int x = std::max(x0, clipX0_); x < std::min(x1, clipX1_); ++x) blend(x, y, colour, 1.0);
}

void Raster::line(double x0, double y0, double x1, double y1, double width, Rgb colour) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    // Pixel centres at +0.5; coverage falls off linearly over one pixel at the edge.
    const double half = std::max(width, 0.5) * 0.5;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    const double dx = x1 - x0, dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    for (int y = std::max(top, clipY0_); y <= std::min(bottom, clipY1_ - 1); ++y) {
        for (int x = std::max(left, clipX0_); x <= std::min(right, clipX1_ - 1); ++x) {
            const double px = x + 0.5 - x0, py = y + 0.5 - y0;
            const double t = lengthSquared > 0.0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0) : 0.0;
            const double ex = px - t * dx, ey = py - t * dy;
            const double coverage = std::clamp(half + 0.5 - std::sqrt(ex * ex + ey * ey), 0.0, 1.0);
            if (coverage > 0.0) blend(x, y, colour, coverage);
        }
    }
}

void Raster::polyline(const std::vector<double>& xs, const std::vector<double>& ys, double width, Rgb colour) {
    const std::size_t n = std::min(xs.size(), ys.size());
    for (std::size_t i = 1; i < n; ++i) line(xs[i - 1], ys[i - 1], xs[i], ys[i], width, colour);
}

void Raster::dashedPolyline(const std::vector<double>& xs, const std::vector<double>& ys, double width, Rgb colour,
                            double dash, double gap) {
    const double period = dash + gap;
    if (!(dash > 0.0) || !(gap >= 0.0)) return;
    double phase = 0.0;  // distance along the line within the current period
    const std::size_t n = std::min(xs.size(), ys.size());
    for (std::size_t i = 1; i < n; ++i) {
        const double x0 = xs[i - 1], y0 = ys[i - 1], x1 = xs[i], y1 = ys[i];
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) continue;
        const double length = std::hypot(x1 - x0, y1 - y0);
        double at = 0.0;
        while (at < length) {
            const bool on = phase < dash;
            const double step = std::min(length - at, (on ? dash : period) - phase);
            if (on) {
                const double t0 = at / length, t1 = (at + step) / length;
                line(x0 + t0 * (x1 - x0), y0 + t0 * (y1 - y0), x0 + t1 * (x1 - x0), y0 + t1 * (y1 - y0), width, colour);
            }
            at += step;
            phase = std::fmod(phase + step, period);
        }
    }
}

int Raster::textWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale - scale;
}

void Raster::text(int x, int y, const std::string& text, Rgb colour, int scale, TextAlign align) {
    const int w = textWidth(text, scale);
    if (align == TextAlign::Centre) x -= w / 2;
    else if (align == TextAlign::Right) x -= w;
    for (char c : text) {
        if (const unsigned char* rows = glyphRows(c)) {
            for (int gy = 0; gy < kGlyphRows; ++gy)
                for (int gx = 0; gx < kGlyphWidth; ++gx)
                    if (rows[gy] & (1 << (kGlyphWidth - 1 - gx)))
                        fillRect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, colour);
        }
        x += (kGlyphWidth + 1) * scale;
    }
}

bool encodePng(const Raster& raster, std::string& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(raster.width());
    image.height = static_cast<png_uint_32>(raster.height());
    image.format = PNG_FORMAT_RGB;
    const png_int_32 stride = raster.width() * 3;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, raster.pixels().data(), stride, nullptr) || size == 0) {
        png_image_free(&image);
        return false;
    }
    bytes.resize(size);
    const bool ok = png_image_write_to_memory(&image, bytes.data(), &size, 0, raster.pixels().data(), stride, nullptr);
    png_image_free(&image);
    bytes.resize(ok ? size : 0);
    return ok;
}

}  // namespace hm::tool
