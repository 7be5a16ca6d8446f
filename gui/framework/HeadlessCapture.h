#pragma once
// What a headless window shows (its pop-ups included) as a bitmap or a PNG file:
// for documentation images and for tests that look at the result.
#include <string>

#include "gui/draw/CDIB.h"
#include "platform/HeadlessWindow.h"

namespace hm::gui {

// A new opaque CDIB of the window's size (the caller owns the reference).
CDIB* captureHeadlessWindow(const platform::HeadlessWindow& window);
// Writes the picture as PNG (atomically). False on failure.
bool writeHeadlessWindowPng(const platform::HeadlessWindow& window, const std::string& path);

}  // namespace hm::gui
