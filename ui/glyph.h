// The flat buttons' 24 x 24 glyphs: decoding from a 24-bit DIB and drawing with the transparency rule
// (a pixel is drawn unless it has exactly the colour of the glyph's bottom-left pixel).
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/geometry.h"

namespace orbelin {

// 0x00RRGGBB pixels, top row first: the layout of a top-down 32-bit DIB section.
struct PixelBuffer {
    std::uint32_t* pixels;
    int width;
    int height;
};

struct GlyphImage {
    static constexpr int kSize = 24;
    std::uint32_t rgb[kSize * kSize] = {};  // top row first

    std::uint32_t TransparentColour() const { return rgb[(kSize - 1) * kSize]; }
};

// Reads a BITMAPINFOHEADER followed by uncompressed 24-bit pixels (bottom-up or top-down), as a
// BITMAP resource holds them. False for anything else, leaving `out` untouched.
bool DecodeGlyphDib(const std::uint8_t* dib, std::size_t size, GlyphImage& out);

// Copies the glyph's drawn pixels into `target` with the glyph's top-left at `at`, clipped to it.
void DrawGlyph(const GlyphImage& glyph, PixelBuffer target, Point at);

}  // namespace orbelin
