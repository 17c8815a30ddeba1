// Flat image button state machine and content layout.
#include "ui/flat_button.h"

namespace orbelin {

bool FlatButtonState::PointerMoved(bool over) {
    const ButtonLook before = Look();
    over_ = over;
    return Look() != before;
}

bool FlatButtonState::CaptureLost() {
    const ButtonLook before = Look();
    pressed_ = false;
    return Look() != before;
}

bool FlatButtonState::LeftPressed(bool over) {
    over_ = over;
    pressed_ = over;
    return pressed_;
}

bool FlatButtonState::LeftReleased(bool over) {
    const bool click = pressed_ && over;
    pressed_ = false;
    over_ = over;
    return click;
}

ButtonLook FlatButtonState::Look() const {
    if (pressed_) {
        // Dragged off while held, the button looks released until the pointer comes back.
        return over_ ? ButtonLook::Pressed : ButtonLook::Normal;
    }
    return over_ ? ButtonLook::Hot : ButtonLook::Normal;
}

ButtonContent LayoutButtonContent(Rect button, Size glyph, Size caption, ButtonLook look, bool themed) {
    const int contentWidth = glyph.width + kGlyphCaptionGap + caption.width;
    const int left = button.left + (button.width - contentWidth) / 2;
    ButtonContent content = {
        .glyph = {left, button.top + (button.height - glyph.height) / 2},
        .caption = {left + glyph.width + kGlyphCaptionGap, button.top + (button.height - caption.height) / 2},
    };
    if (look == ButtonLook::Pressed) {
        const int down = themed ? 0 : 1;
        content.glyph = {content.glyph.x + 1, content.glyph.y + down};
        content.caption = {content.caption.x + 1, content.caption.y + down};
    }
    return content;
}

}  // namespace orbelin
