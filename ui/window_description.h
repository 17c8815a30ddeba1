// The main window's description: one declarative table of its controls, in creation order, with
// their bounds at 96 dpi, texts, fonts and click handlers. The Win32 code creates the child windows
// from it and paints the drawn controls (labels, frame, flat buttons) from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "ui/geometry.h"
#include "ui/text_style.h"

namespace orbelin {

enum class ControlKind : std::uint8_t {
    Label,       // painted text, centred in its box
    Bevel,       // painted etched frame
    FlatButton,  // painted glyph and caption, clicked with the mouse only
    LinkLabel,   // SysLink child window
    RichText,    // read-only rich-edit child window
};

enum class ControlId : std::uint8_t {
    lbl_about1,
    lbl_about2,
    Bevel2,
    btn_quit,
    controle_btn,
    lbl_link2,
    lbl_link3,
    reponse1,
};

inline constexpr std::size_t kControlCount = 8;

enum class Glyph : std::uint8_t { None, Quit, Controle };

struct FontDescription {
    std::u16string_view face;
    int height;  // negative: character height; positive: cell height, internal leading included
    TFontStyles style;
    TColor color;
};

struct ControlDescription {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    Rect bounds;  // client pixels at 96 dpi
    std::u16string_view text;
    FontDescription font;
    Glyph glyph = Glyph::None;
    std::u16string_view url = {};  // link labels: the address their markup carries and their handler opens
    int tabOrder = -1;
    bool tabStop = false;
};

struct WindowDescription {
    std::u16string_view className;
    std::u16string_view caption;
    Size clientSize;
    TColor color;
    FontDescription font;
    std::span<const ControlDescription> controls;

    const ControlDescription& Control(ControlId id) const { return controls[static_cast<std::size_t>(id)]; }
};

// `fiche_ppal`, the program's only window.
extern const WindowDescription kFichePpal;

}  // namespace orbelin
