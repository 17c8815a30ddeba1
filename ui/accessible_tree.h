// What assistive technology is told about fiche_ppal, free of Win32: the elements it exposes in
// reading order, their roles, names and default actions, which one lies under a point, a flat
// button's states, and the words in which a new report is announced.
#pragma once

#include <array>
#include <cstddef>
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
    Link,        // a link label: its window is ours, but the element is answered for by the main window
    Window,      // the pane, a child window which answers for itself
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
// The latest report, source of the live-region event. Not listed among the children nor found by
// hit-testing: the pane already holds every report in reading order, this element only names the new one.
inline constexpr ChildId kAnnouncementChild = kAccessibleChildCount + 1;

std::optional<ControlId> ControlForChild(ChildId child);
ChildId ChildFor(ControlId id);  // kSelf for a control that is not exposed

AccessibleRole RoleOf(ControlKind kind);
inline AccessibleRole RoleOf(ControlId id) {
    return RoleOf(kFichePpal.Control(id).kind);
}

// What a screen reader says for the element: its text without the leading spaces that the
// captions carry to set them off from their glyphs.
std::u16string_view AccessibleName(const ControlDescription& control);

// What the element's default action is called; empty for an element that has none (the headings).
// The action does what a click on the element does.
std::u16string_view DefaultActionName(AccessibleRole role);

// The element under `at`, from the bounds of the elements in reading order; kSelf where there is none.
ChildId ChildAt(Point at, std::span<const Rect, kReadingOrder.size()> bounds);

struct ButtonStates {
    bool hot = false;      // the pointer is over it
    bool pressed = false;  // the left button is held on it
    friend constexpr bool operator==(ButtonStates, ButtonStates) = default;
};

ButtonStates StatesFor(ButtonLook look);

// The words of one report as a screen reader is to say them, gathered as the check writes the report
// (it is a Writer for RunServiceCheck): each line break, with the spaces around it, becomes one space,
// and nothing is left at either end, so that the speech neither pauses nor trails on the breaks.
class Announcement {
public:
    // The longest report: its heading, the label and the longest detail line, with room to spare.
    static constexpr std::size_t kCapacity = 320;

    void AddlText(std::u16string_view text, TFontStyles, TColor);
    std::u16string_view view() const { return {buffer_, length_}; }

private:
    void Put(char16_t c);

    char16_t buffer_[kCapacity] = {};
    std::size_t length_ = 0;
    bool breakPending_ = false;
};

// Hands each piece of the report to both writers in turn: the pane, and the announcement.
template <class First, class Second>
class BothWriters {
public:
    BothWriters(First& first, Second& second) : first_(first), second_(second) {}
    void AddlText(std::u16string_view text, TFontStyles style, TColor color) {
        first_.AddlText(text, style, color);
        second_.AddlText(text, style, color);
    }

private:
    First& first_;
    Second& second_;
};

}  // namespace orbelin
