// Which colours each part of the window is drawn in, in the window's two colour modes: the fixed
// colours of its design while the system scheme is the default black on white, and the system's own
// colours under any other scheme, where the fixed ones could vanish into a dark window. Portable:
// system colours stay symbolic here and are looked up by the Win32 code when it paints.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/text_style.h"

namespace orbelin {

enum class ColourMode : std::uint8_t {
    Default,   // the design's own colours
    Contrast,  // every colour from the system scheme
};

enum class PaletteElement : std::uint8_t {
    Client,         // the client area, behind the painted controls and the links
    Heading,        // lbl_about1 and lbl_about2
    ButtonCaption,  // the flat buttons' captions
    Link,           // the link labels: the system link colour, on the client's background
    Pane,           // the result pane, and text it holds without a colour of its own
    ReportSuccess,  // "Connecté au service"
    ReportFailure,  // the failure's heading
    ReportText,     // "Retour :" and the failure's detail
};

inline constexpr std::size_t kPaletteElementCount = 8;

struct ColourPair {
    TColor text;
    TColor background;
    friend constexpr bool operator==(ColourPair, ColourPair) = default;
};

// COLOR_HOTLIGHT: what the link control draws its links in, where the visual style says nothing else.
inline constexpr TColor clHotLight = kSystemColorFlag | 26;

ColourPair PaletteColours(PaletteElement element, ColourMode mode);

// The colour a run of the pane's text is drawn in, for the colour it was written with.
constexpr TColor RunColour(TColor written, ColourMode mode) {
    return mode == ColourMode::Contrast ? clWindowText : written;
}

// In contrast mode while Windows' high contrast is on, or while the system's window and window-text
// colours (0x00BBGGRR, as the system gives them) are other than white and black: a changed scheme
// shows so even where high contrast is never reported on.
constexpr ColourMode DecideColourMode(bool highContrastOn, std::uint32_t window, std::uint32_t windowText) {
    return highContrastOn || window != clWhite || windowText != clBlack ? ColourMode::Contrast : ColourMode::Default;
}

}  // namespace orbelin
