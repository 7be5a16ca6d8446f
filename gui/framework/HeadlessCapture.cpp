#include "gui/framework/HeadlessCapture.h"

#include <algorithm>

#include "gui/draw/PngIO.h"

namespace hm::gui {

CDIB* captureHeadlessWindow(const platform::HeadlessWindow& window) {
    const auto pixels = window.composite();
    CDIB* image = new CDIB(window.width(), window.height());
    // The frame's buffer is opaque, whatever its alpha bytes say.
    std::transform(pixels.begin(), pixels.end(), image->pixels(), [](std::uint32_t p) { return p | 0xFF000000u; });
    return image;
}

bool writeHeadlessWindowPng(const platform::HeadlessWindow& window, const std::string& path) {
    CDIB* image = captureHeadlessWindow(window);
    const bool ok = writePngFile(*image, path);
    image->release();
    return ok;
}

}  // namespace hm::gui
