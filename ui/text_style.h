// Style set and colour of a run of text in the result pane, and the fixed colours the window uses.
// Portable: the Win32 code turns these into CHARFORMAT2 and COLORREF values.
#pragma once

#include <cstdint>

namespace orbelin {

enum TFontStyle : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

// A set of TFontStyle values held in one byte, bit for bit as the enumerators above.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(TFontStyle style) : bits_(style) {}  // NOLINT: a single style is a set

    constexpr bool Contains(TFontStyle style) const { return (bits_ & style) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr std::uint8_t bits() const { return bits_; }

    friend constexpr TFontStyles operator|(TFontStyles a, TFontStyles b) {
        return TFontStyles(static_cast<std::uint8_t>(a.bits_ | b.bits_));
    }
    friend constexpr bool operator==(TFontStyles a, TFontStyles b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator!=(TFontStyles a, TFontStyles b) { return a.bits_ != b.bits_; }

private:
    constexpr explicit TFontStyles(std::uint8_t bits) : bits_(bits) {}
    std::uint8_t bits_ = 0;
};

// Either 0x00BBGGRR, or a system colour: kSystemColorFlag plus the colour's GetSysColor index.
using TColor = std::uint32_t;

inline constexpr TColor kSystemColorFlag = 0xFF000000;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clWindow = kSystemColorFlag | 5;         // COLOR_WINDOW
inline constexpr TColor clWindowText = kSystemColorFlag | 8;     // COLOR_WINDOWTEXT
inline constexpr TColor clBtnShadow = kSystemColorFlag | 16;     // COLOR_BTNSHADOW
inline constexpr TColor clBtnHighlight = kSystemColorFlag | 20;  // COLOR_BTNHIGHLIGHT

constexpr bool IsSystemColor(TColor color) {
    return (color & 0xFF000000) == kSystemColorFlag;
}

constexpr int SystemColorIndex(TColor color) {
    return static_cast<int>(color & 0xFF);
}

}  // namespace orbelin
