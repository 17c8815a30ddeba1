// The accessible elements of fiche_ppal: reading order, roles, names, default actions, hit-testing,
// button states and the words of an announcement.
#include "ui/accessible_tree.h"

#include "resources/texts.h"

namespace orbelin {

std::optional<ControlId> ControlForChild(ChildId child) {
    if (child < 1 || child > kAccessibleChildCount) {
        return std::nullopt;
    }
    return kReadingOrder[static_cast<std::size_t>(child - 1)];
}

ChildId ChildFor(ControlId id) {
    for (std::size_t i = 0; i < kReadingOrder.size(); ++i) {
        if (kReadingOrder[i] == id) {
            return static_cast<ChildId>(i + 1);
        }
    }
    return kSelf;
}

AccessibleRole RoleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return AccessibleRole::StaticText;
        case ControlKind::FlatButton:
            return AccessibleRole::PushButton;
        case ControlKind::LinkLabel:
            return AccessibleRole::Link;
        default:
            return AccessibleRole::Window;
    }
}

std::u16string_view AccessibleName(const ControlDescription& control) {
    std::u16string_view name = control.text;
    while (!name.empty() && name.front() == u' ') {
        name.remove_prefix(1);
    }
    return name;
}

std::u16string_view DefaultActionName(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PushButton:
            return texts::kPressAction;
        case AccessibleRole::Link:
            return texts::kFollowLinkAction;
        default:
            return {};
    }
}

ChildId ChildAt(Point at, std::span<const Rect, kReadingOrder.size()> bounds) {
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        if (bounds[i].Contains(at)) {
            return static_cast<ChildId>(i + 1);
        }
    }
    return kSelf;
}

ButtonStates StatesFor(ButtonLook look) {
    return {.hot = look != ButtonLook::Normal, .pressed = look == ButtonLook::Pressed};
}

void Announcement::AddlText(std::u16string_view text, TFontStyles, TColor) {
    for (const char16_t c : text) {
        if (c == u'\r' || c == u'\n') {
            while (length_ > 0 && buffer_[length_ - 1] == u' ') {
                --length_;
            }
            breakPending_ = length_ > 0;
            continue;
        }
        if (c == u' ' && (breakPending_ || length_ == 0)) {
            continue;
        }
        if (breakPending_) {
            Put(u' ');
            breakPending_ = false;
        }
        Put(c);
    }
}

void Announcement::Put(char16_t c) {
    if (length_ < kCapacity) {
        buffer_[length_++] = c;
    }
}

}  // namespace orbelin
