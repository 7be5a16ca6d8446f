#pragma once
// A small RGB rasteriser for the response plot: filled rectangles, anti-aliased
// lines of any width (coverage from the distance to the segment) and text in
// the 5 x 7 plot font, encoded as PNG through libpng.
#include <cstdint>
#include <string>
#include <vector>

namespace hm::tool {

struct Rgb {
    std::uint8_t r, g, b;
};

enum class TextAlign { Left, Centre, Right };

class Raster {
public:
    Raster(int width, int height, Rgb background);
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }  // RGB rows, top first

    // Mixes `colour` into a pixel with opacity 0..1; outside the raster nothing happens.
    void blend(int x, int y, Rgb colour, double opacity);
    void fillRect(int x0, int y0, int x1, int y1, Rgb colour);  // x1, y1 exclusive
    void line(double x0, double y0, double x1, double y1, double width, Rgb colour);
    // Connected segments; points with a non-finite coordinate break the line.
    void polyline(const std::vector<double>& xs, const std::vector<double>& ys, double width, Rgb colour);
    // The same, drawn in dashes of `dash` pixels with `gap` pixels between, the
    // pattern running on along the whole line.
    void dashedPolyline(const std::vector<double>& xs, const std::vector<double>& ys, double width, Rgb colour,
                        double dash, double gap);
    // Text with its top edge at y; `scale` enlarges each font pixel to scale x scale.
    void text(int x, int y, const std::string& text, Rgb colour, int scale, TextAlign align = TextAlign::Left);
    static int textWidth(const std::string& text, int scale);

    // Restricts drawing to a rectangle (x1, y1 exclusive); clearClip() lifts it.
    void clip(int x0, int y0, int x1, int y1);
    void clearClip();

private:
    int width_, height_;
    int clipX0_ = 0, clipY0_ = 0, clipX1_, clipY1_;
    std::vector<std::uint8_t> pixels_;
};

// The raster as PNG file bytes (8-bit RGB); false when libpng fails.
bool encodePng(const Raster& raster, std::string& bytes);

}  // namespace hm::tool
