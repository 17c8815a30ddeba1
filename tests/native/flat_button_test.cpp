// The flat button's pointer state machine, its content layout, and its glyphs' transparency rule.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "ui/flat_button.h"
#include "ui/glyph.h"

namespace orbelin {
namespace {

TEST(FlatButtonState, PressAndReleaseOverTheButtonIsAClick) {
    FlatButtonState button;
    EXPECT_TRUE(button.PointerMoved(true));
    EXPECT_EQ(button.Look(), ButtonLook::Hot);
    EXPECT_TRUE(button.LeftPressed(true));
    EXPECT_EQ(button.Look(), ButtonLook::Pressed);
    EXPECT_TRUE(button.LeftReleased(true));
    EXPECT_EQ(button.Look(), ButtonLook::Hot);
    EXPECT_TRUE(button.PointerLeft());
    EXPECT_EQ(button.Look(), ButtonLook::Normal);
}

TEST(FlatButtonState, LeavingWhileHeldLooksReleasedAndDoesNotClick) {
    FlatButtonState button;
    button.LeftPressed(true);
    button.PointerMoved(false);
    EXPECT_EQ(button.Look(), ButtonLook::Normal);
    button.PointerMoved(true);  // coming back while still held
    EXPECT_EQ(button.Look(), ButtonLook::Pressed);
    button.PointerMoved(false);
    EXPECT_FALSE(button.LeftReleased(false));
    EXPECT_FALSE(button.pressed());
}

TEST(FlatButtonState, PressesElsewhereAndLostCaptureNeverClick) {
    FlatButtonState button;
    EXPECT_FALSE(button.LeftPressed(false));
    EXPECT_FALSE(button.LeftReleased(true));  // released over it, pressed elsewhere

    button.LeftPressed(true);
    EXPECT_TRUE(button.CaptureLost());
    EXPECT_FALSE(button.LeftReleased(true));
}

TEST(FlatButtonState, EveryPressOfADoubleClickCounts) {
    FlatButtonState button;
    int clicks = 0;
    for (int press = 0; press < 2; ++press) {
        button.LeftPressed(true);
        clicks += button.LeftReleased(true);
    }
    EXPECT_EQ(clicks, 2);
}

TEST(ButtonContent, CentresGlyphAndCaptionTogetherFourPixelsApart) {
    const Rect button = {212, 144, 172, 30};
    const Size glyph = {24, 24}, caption = {96, 13};
    const ButtonContent normal = LayoutButtonContent(button, glyph, caption, ButtonLook::Normal, true);
    // (172 - (24 + 4 + 96)) / 2 = 24
    EXPECT_EQ(normal.glyph, (Point{236, 147}));
    EXPECT_EQ(normal.caption, (Point{264, 152}));  // (30 - 13) / 2 = 8
    EXPECT_EQ(LayoutButtonContent(button, glyph, caption, ButtonLook::Hot, false).glyph, normal.glyph);

    const ButtonContent themed = LayoutButtonContent(button, glyph, caption, ButtonLook::Pressed, true);
    EXPECT_EQ(themed.glyph, (Point{237, 147}));
    EXPECT_EQ(themed.caption, (Point{265, 152}));
    const ButtonContent classic = LayoutButtonContent(button, glyph, caption, ButtonLook::Pressed, false);
    EXPECT_EQ(classic.glyph, (Point{237, 148}));
    EXPECT_EQ(classic.caption, (Point{265, 153}));
}

std::vector<std::uint8_t> ReadDibOf(const char* bmpPath) {
    std::ifstream in(bmpPath, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return file.size() > 14 ? std::vector<std::uint8_t>(file.begin() + 14, file.end()) : file;  // no BITMAPFILEHEADER
}

class Glyphs : public ::testing::Test {
protected:
    static std::string Resource(const char* name) { return std::string(ORBELIN_RESOURCES) + "/" + name; }
};

TEST_F(Glyphs, TheCommittedGlyphsDecodeWithTheirTransparentCorners) {
    struct Case {
        const char* file;
        std::uint32_t corner;
    };
    for (const Case& c : {Case{"glyph_quit.bmp", 0xFFFFFF}, Case{"glyph_controle.bmp", 0xFFFEFF}}) {
        const auto dib = ReadDibOf(Resource(c.file).c_str());
        GlyphImage glyph;
        ASSERT_TRUE(DecodeGlyphDib(dib.data(), dib.size(), glyph)) << c.file;
        EXPECT_EQ(glyph.TransparentColour(), c.corner) << c.file;
    }
}

TEST_F(Glyphs, DrawingSkipsOnlyTheExactTransparentColour) {
    GlyphImage glyph;
    for (auto& pixel : glyph.rgb) {
        pixel = 0xFFFEFF;
    }
    glyph.rgb[0] = 0xFEFEFE;                                          // near-white: drawn
    glyph.rgb[1] = 0x0000FF;                                          // drawn
    glyph.rgb[GlyphImage::kSize * GlyphImage::kSize - 1] = 0xFFFFFF;  // white is not the key here: drawn
    std::vector<std::uint32_t> canvas(40 * 30, 0x123456);
    DrawGlyph(glyph, {canvas.data(), 40, 30}, {10, 5});

    EXPECT_EQ(canvas[5 * 40 + 10], 0xFEFEFEu);
    EXPECT_EQ(canvas[5 * 40 + 11], 0x0000FFu);
    EXPECT_EQ(canvas[28 * 40 + 33], 0xFFFFFFu);
    EXPECT_EQ(canvas[6 * 40 + 12], 0x123456u);  // a key pixel left the background
    EXPECT_EQ(std::count(canvas.begin(), canvas.end(), 0xFFFEFFu), 0);
}

TEST_F(Glyphs, DrawingClipsToTheTarget) {
    GlyphImage glyph;
    for (auto& pixel : glyph.rgb) {
        pixel = 0x00FF00;
    }
    glyph.rgb[(GlyphImage::kSize - 1) * GlyphImage::kSize] = 0x000000;  // the key
    std::vector<std::uint32_t> canvas(10 * 10, 0);
    DrawGlyph(glyph, {canvas.data(), 10, 10}, {-20, -20});
    EXPECT_EQ(canvas[0], 0x00FF00u);
    EXPECT_EQ(canvas[3 * 10 + 3], 0x00FF00u);
    EXPECT_EQ(canvas[4 * 10 + 4], 0u);  // beyond the glyph's bottom-right
}

TEST_F(Glyphs, RejectsAnythingButA24BitGlyph) {
    const auto dib = ReadDibOf(Resource("glyph_quit.bmp").c_str());
    GlyphImage glyph;
    auto corrupted = dib;
    corrupted[14] = 32;  // bit count
    EXPECT_FALSE(DecodeGlyphDib(corrupted.data(), corrupted.size(), glyph));
    EXPECT_FALSE(DecodeGlyphDib(dib.data(), dib.size() - 100, glyph));  // truncated pixels
    EXPECT_FALSE(DecodeGlyphDib(dib.data(), 20, glyph));
}

}  // namespace
}  // namespace orbelin
