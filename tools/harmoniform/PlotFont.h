#pragma once
// A small 5 x 7 pixel font for the labels of the response plot, drawn by the
// plot's own rasteriser (the tool has no font engine). Covers digits, letters
// and the punctuation the plot uses; other characters draw as blanks.

namespace hm::tool {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;  // above the baseline
constexpr int kGlyphRows = 9;    // with the descender rows of g, j, p, q, y

// kGlyphRows rows for a character, bit 4 the leftmost pixel (rows below a glyph's
// own height are blank); null when the font has no glyph.
const unsigned char* glyphRows(char c);

}  // namespace hm::tool
