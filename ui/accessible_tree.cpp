// The accessible elements of fiche_ppal: reading order, roles, names, hit-testing and button states.
#include "ui/accessible_tree.h"

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

}  // namespace orbelin
