#include "gui/draw/PngIO.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gui/draw/CDIB.h"
#include "gui/draw/PixelMath.h"

namespace hm::gui {

CDIB* decodePng(const void* data, std::size_t size) {
    if (!data || size < 8) return nullptr;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return nullptr;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // Skin images are small; refuse absurd headers instead of allocating them.
    constexpr png_uint_32 kMaxSide = 8192;
    constexpr unsigned long long kMaxPixels = 16ull << 20;
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide ||
        static_cast<unsigned long long>(image.width) * image.height > kMaxPixels) {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_BGRA;
    auto* dib = new CDIB(int(image.width), int(image.height));
    if (!png_image_finish_read(&image, nullptr, dib->pixels(), int(dib->stride()), nullptr)) {
        png_image_free(&image);
        dib->release();
        return nullptr;
    }
    Pixel* p = dib->pixels();
    const long count = long(image.width) * long(image.height);
    if (alpha) {
        for (long i = 0; i < count; ++i) {
            const int a = pixelAlpha(p[i]);
            if (a == 255) continue;
            auto pm = [&](int shift) { return Pixel(pixel::div255(pixel::channel(p[i], shift) * a)) << shift; };
            p[i] = (Pixel(a) << 24) | pm(16) | pm(8) | pm(0);
        }
    }
    dib->setHasAlpha(alpha);
    return dib;
}

std::vector<std::uint8_t> encodePng(const CBitmap& bitmap) {
    const int w = bitmap.getWidth(), h = bitmap.getHeight();
    if (w <= 0 || h <= 0) return {};
    const bool alpha = bitmap.hasAlpha();
    const int channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * channels);
    std::size_t o = 0;
    for (int y = 0; y < h; ++y) {
        const Pixel* row = bitmap.row(y);
        for (int x = 0; x < w; ++x) {
            const Pixel p = row[x];
            const int a = pixelAlpha(p);
            int c[3] = {pixel::channel(p, 16), pixel::channel(p, 8), pixel::channel(p, 0)};
            if (alpha && a < 255) {
                // Back to straight colour; decodePng premultiplies it again exactly.
                for (int& v : c) v = a == 0 ? 0 : std::min(255, (v * 255 + a / 2) / a);
            }
            for (int v : c) rgba[o++] = std::uint8_t(v);
            if (alpha) rgba[o++] = std::uint8_t(a);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t bytes = 0;
    if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, rgba.data(), 0, nullptr)) return {};
    std::vector<std::uint8_t> out(bytes);
    if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, rgba.data(), 0, nullptr)) return {};
    out.resize(bytes);
    return out;
}

bool writePngFile(const CBitmap& bitmap, const std::string& path) {
    const auto bytes = encodePng(bitmap);
    if (bytes.empty()) return false;
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace hm::gui
