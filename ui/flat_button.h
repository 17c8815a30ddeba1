// The flat image button's behaviour and layout, free of Win32: which look it shows for the pointer
// and the left button, when a press and release make a click, and where glyph and caption go.
#pragma once

#include "ui/geometry.h"

namespace orbelin {

enum class ButtonLook { Normal, Hot, Pressed };

// One button's pointer state. A click is a left press on the button followed by the release over
// it; a press that leaves the button and is released elsewhere does nothing.
class FlatButtonState {
public:
    // Each returns true when the look changed, so the caller knows to repaint.
    bool PointerMoved(bool over);
    bool PointerLeft() { return PointerMoved(false); }
    bool CaptureLost();

    // True when the press starts on this button: the caller then captures the mouse.
    bool LeftPressed(bool over);
    // True when this release completes a click.
    bool LeftReleased(bool over);

    ButtonLook Look() const;
    bool pressed() const { return pressed_; }

private:
    bool over_ = false;
    bool pressed_ = false;
};

inline constexpr int kGlyphCaptionGap = 4;

struct ButtonContent {
    Point glyph;    // top-left of the glyph
    Point caption;  // top-left of the caption's text cell
};

// Glyph and caption are centred together horizontally and each centred vertically. While pressed
// they move one pixel right, and with the classic look also one pixel down.
ButtonContent LayoutButtonContent(Rect button, Size glyph, Size caption, ButtonLook look, bool themed);

}  // namespace orbelin
