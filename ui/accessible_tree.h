// What assistive technology is told about fiche_ppal, free of Win32: the elements it exposes in
// reading order, their roles and names, which one lies under a point, and a flat button's states.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "ui/flat_button.h"
#include "ui/geometry.h"
#include "ui/window_description.h"

namespace orbelin {

enum class AccessibleRole : std::uint8_t {
    StaticText,  // a painted heading
    PushButton,  // a painted flat button
    Window,      // a child window, which answers for itself
};

// Headings first, then the work area (the button before the pane it fills), then the bottom row
// from left to right. The frame is decoration and is left out.
inline constexpr std::array kReadingOrder = {
    ControlId::lbl_about1, ControlId::lbl_about2, ControlId::controle_btn, ControlId::reponse1,
    ControlId::lbl_link3,  ControlId::btn_quit,   ControlId::lbl_link2,
};

// Child ids as Active Accessibility numbers them: 0 is the window's client area itself, and each
// element is its 1-based position in reading order.
using ChildId = long;
inline constexpr ChildId kSelf = 0;
inline constexpr auto kAccessibleChildCount = static_cast<ChildId>(kReadingOrder.size());

std::optional<ControlId> ControlForChild(ChildId child);
ChildId ChildFor(ControlId id);  // kSelf for a control that is not exposed

AccessibleRole RoleOf(ControlKind kind);
inline AccessibleRole RoleOf(ControlId id) {
    return RoleOf(kFichePpal.Control(id).kind);
}

// What a screen reader says for the element: its text without the leading spaces that the
// captions carry to set them off from their glyphs.
std::u16string_view AccessibleName(const ControlDescription& control);

// The element under `at`, from the bounds of the elements in reading order; kSelf where there is none.
ChildId ChildAt(Point at, std::span<const Rect, kReadingOrder.size()> bounds);

struct ButtonStates {
    bool hot = false;      // the pointer is over it
    bool pressed = false;  // the left button is held on it
    friend constexpr bool operator==(ButtonStates, ButtonStates) = default;
};

ButtonStates StatesFor(ButtonLook look);

}  // namespace orbelin
