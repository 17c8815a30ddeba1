// The accessible view of the window: reading order, child ids, roles, names, hit-testing, states.
#include <gtest/gtest.h>

#include <string>

#include "support/utf.h"
#include "ui/accessible_tree.h"
#include "ui/dpi.h"

namespace orbelin {
namespace {

using test_support::Utf8;

struct Expected {
    ControlId id;
    AccessibleRole role;
    const char* name;  // only for the painted elements
};

const Expected kTree[] = {
    {ControlId::lbl_about1, AccessibleRole::StaticText, "Contrôle du service \"Carte à puce\""},
    {ControlId::lbl_about2, AccessibleRole::StaticText,
     "Cette application est compatible avec le logiciel Orbelin uniquement"},
    {ControlId::controle_btn, AccessibleRole::PushButton, "Lancer le contrôle"},
    {ControlId::reponse1, AccessibleRole::Window, nullptr},
    {ControlId::lbl_link3, AccessibleRole::Window, nullptr},
    {ControlId::btn_quit, AccessibleRole::PushButton, "Quitter"},
    {ControlId::lbl_link2, AccessibleRole::Window, nullptr},
};

TEST(AccessibleTree, ChildrenInReadingOrderWithTheirRolesAndNames) {
    ASSERT_EQ(kAccessibleChildCount, static_cast<ChildId>(std::size(kTree)));
    for (ChildId child = 1; child <= kAccessibleChildCount; ++child) {
        const Expected& want = kTree[child - 1];
        ASSERT_EQ(ControlForChild(child), want.id) << "child " << child;
        EXPECT_EQ(ChildFor(want.id), child);
        const ControlDescription& control = kFichePpal.Control(want.id);
        EXPECT_EQ(RoleOf(control.kind), want.role) << control.name;
        if (want.name != nullptr) {
            EXPECT_EQ(Utf8(std::u16string(AccessibleName(control))), want.name);
        }
    }
}

TEST(AccessibleTree, TheFrameAndIdsOutsideTheTreeAreNotElements) {
    EXPECT_EQ(ChildFor(ControlId::Bevel2), kSelf);
    for (ChildId child : {kSelf, ChildId{-1}, kAccessibleChildCount + 1, ChildId{1000}}) {
        EXPECT_FALSE(ControlForChild(child).has_value()) << child;
    }
}

// Every painted and child-window element at its laid-out bounds, at two densities: a point is the
// element's on all of its edges, and the framed space between the button and the pane is the window's.
TEST(AccessibleTree, HitTestingFindsTheElementUnderThePoint) {
    for (int dpi : {96, 144}) {
        Rect bounds[kReadingOrder.size()];
        for (std::size_t i = 0; i < kReadingOrder.size(); ++i) {
            bounds[i] = ScaleRect(kFichePpal.Control(kReadingOrder[i]).bounds, dpi);
        }
        for (ChildId child = 1; child <= kAccessibleChildCount; ++child) {
            const Rect r = bounds[child - 1];
            for (Point p : {Point{r.left, r.top}, Point{r.right() - 1, r.bottom() - 1},
                            Point{r.left + r.width / 2, r.top + r.height / 2}}) {
                EXPECT_EQ(ChildAt(p, bounds), child) << "at " << p.x << "," << p.y << ", " << dpi << " dpi";
            }
            EXPECT_NE(ChildAt({r.right(), r.top}, bounds), child) << "just right of child " << child;
            EXPECT_NE(ChildAt({r.left, r.bottom()}, bounds), child) << "just below child " << child;
        }
        const Point frameOnly = ScalePoint({20, 100}, dpi);
        const Point gap = ScalePoint({300, 180}, dpi);
        EXPECT_EQ(ChildAt(frameOnly, bounds), kSelf);
        EXPECT_EQ(ChildAt(gap, bounds), kSelf);
        EXPECT_EQ(ChildAt({-1, -1}, bounds), kSelf);
    }
}

TEST(AccessibleTree, ButtonStatesFollowItsLook) {
    EXPECT_EQ(StatesFor(ButtonLook::Normal), (ButtonStates{.hot = false, .pressed = false}));
    EXPECT_EQ(StatesFor(ButtonLook::Hot), (ButtonStates{.hot = true, .pressed = false}));
    EXPECT_EQ(StatesFor(ButtonLook::Pressed), (ButtonStates{.hot = true, .pressed = true}));

    // Held and dragged off, the button is neither pressed nor hot until the pointer comes back.
    FlatButtonState button;
    button.LeftPressed(true);
    EXPECT_EQ(StatesFor(button.Look()), (ButtonStates{.hot = true, .pressed = true}));
    button.PointerMoved(false);
    EXPECT_EQ(StatesFor(button.Look()), (ButtonStates{}));
    button.PointerMoved(true);
    EXPECT_EQ(StatesFor(button.Look()), (ButtonStates{.hot = true, .pressed = true}));
}

}  // namespace
}  // namespace orbelin
