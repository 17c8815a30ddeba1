// Glyph decoding and transparent drawing.
#include "ui/glyph.h"

namespace orbelin {
namespace {

std::uint32_t ReadLittleEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

constexpr std::size_t kInfoHeaderSize = 40;
constexpr int kRowBytes = (GlyphImage::kSize * 3 + 3) / 4 * 4;

}  // namespace

bool DecodeGlyphDib(const std::uint8_t* dib, std::size_t size, GlyphImage& out) {
    if (size < kInfoHeaderSize || ReadLittleEndian(dib, 4) < kInfoHeaderSize) {
        return false;
    }
    const std::uint32_t headerSize = ReadLittleEndian(dib, 4);
    const auto width = static_cast<std::int32_t>(ReadLittleEndian(dib + 4, 4));
    const auto height = static_cast<std::int32_t>(ReadLittleEndian(dib + 8, 4));
    const std::uint32_t bitCount = ReadLittleEndian(dib + 14, 2);
    const std::uint32_t compression = ReadLittleEndian(dib + 16, 4);
    const bool bottomUp = height > 0;
    if (width != GlyphImage::kSize || (height != GlyphImage::kSize && height != -GlyphImage::kSize) || bitCount != 24 ||
        compression != 0 || size < headerSize + std::size_t{kRowBytes} * GlyphImage::kSize) {
        return false;
    }
    const std::uint8_t* bits = dib + headerSize;
    for (int row = 0; row < GlyphImage::kSize; ++row) {
        const std::uint8_t* source = bits + (bottomUp ? GlyphImage::kSize - 1 - row : row) * kRowBytes;
        for (int column = 0; column < GlyphImage::kSize; ++column) {
            const std::uint8_t* bgr = source + column * 3;
            out.rgb[row * GlyphImage::kSize + column] =
                (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
        }
    }
    return true;
}

void DrawGlyph(const GlyphImage& glyph, PixelBuffer target, Point at) {
    const std::uint32_t transparent = glyph.TransparentColour();
    for (int row = 0; row < GlyphImage::kSize; ++row) {
        const int y = at.y + row;
        if (y < 0 || y >= target.height) {
            continue;
        }
        for (int column = 0; column < GlyphImage::kSize; ++column) {
            const int x = at.x + column;
            const std::uint32_t pixel = glyph.rgb[row * GlyphImage::kSize + column];
            if (x >= 0 && x < target.width && pixel != transparent) {
                target.pixels[y * target.width + x] = pixel;
            }
        }
    }
}

}  // namespace orbelin
