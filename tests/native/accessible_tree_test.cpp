// The accessible view of the window: reading order, child ids, roles, names, default actions,
// hit-testing, states, and the words of an announcement.
#include <gtest/gtest.h>

#include <string>

#include "resources/texts.h"
#include "scard/service_check.h"
#include "support/utf.h"
#include "ui/accessible_tree.h"
#include "ui/dpi.h"

namespace orbelin {
namespace {

using test_support::Utf8;

struct Expected {
    ControlId id;
    AccessibleRole role;
    const char* name;    // only for the elements answered for by the main window
    const char* action;  // the default action's name; empty: none
};

const Expected kTree[] = {
    {ControlId::lbl_about1, AccessibleRole::StaticText, "Contrôle du service \"Carte à puce\"", ""},
    {ControlId::lbl_about2, AccessibleRole::StaticText,
     "Cette application est compatible avec le logiciel Orbelin uniquement", ""},
    {ControlId::controle_btn, AccessibleRole::PushButton, "Lancer le contrôle", "Appuyer"},
    {ControlId::reponse1, AccessibleRole::Window, nullptr, ""},
    {ControlId::lbl_link3, AccessibleRole::Link, "Logiciel lecture Vitale", "Suivre le lien"},
    {ControlId::btn_quit, AccessibleRole::PushButton, "Quitter", "Appuyer"},
    {ControlId::lbl_link2, AccessibleRole::Link, "Support à Distance", "Suivre le lien"},
};

TEST(AccessibleTree, ChildrenInReadingOrderWithTheirRolesNamesAndActions) {
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
        EXPECT_EQ(Utf8(std::u16string(DefaultActionName(want.role))), want.action) << control.name;
    }
}

TEST(AccessibleTree, TheFrameAndIdsOutsideTheTreeAreNotElements) {
    EXPECT_EQ(ChildFor(ControlId::Bevel2), kSelf);
    // The announcement has an id of its own, outside the listed children.
    EXPECT_EQ(kAnnouncementChild, kAccessibleChildCount + 1);
    for (ChildId child : {kSelf, ChildId{-1}, kAnnouncementChild, ChildId{1000}}) {
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

// What each look tells a screen reader; how the pointer moves a button between looks is FlatButtonState's.
TEST(AccessibleTree, ButtonStatesFollowItsLook) {
    EXPECT_EQ(StatesFor(ButtonLook::Normal), (ButtonStates{.hot = false, .pressed = false}));
    EXPECT_EQ(StatesFor(ButtonLook::Hot), (ButtonStates{.hot = true, .pressed = false}));
    EXPECT_EQ(StatesFor(ButtonLook::Pressed), (ButtonStates{.hot = true, .pressed = true}));
}

std::string Announced(ResultCode code) {
    Announcement announcement;
    WriteReport(Report(code), announcement);
    return Utf8(std::u16string(announcement.view()));
}

TEST(Announcement, IsTheNewReportWithItsLinesJoinedBySingleSpaces) {
    struct Case {
        ResultCode code;
        const char* said;
    };
    const Case cases[] = {
        {0, "Connecté au service"},
        {static_cast<ResultCode>(0x80100001),
         "Erreur durant la connexion au service Retour : Une case activée de cohérence interne a échoué"},
        // The table's sentence ends with a space before its line break.
        {static_cast<ResultCode>(0x80100002),
         "Erreur durant la connexion au service Retour : L action a été annulée par une demande SCardCancel"},
        {static_cast<ResultCode>(0x80000000), "Erreur durant la connexion au service Retour : Inconnu - -2147483648"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Announced(c.code), c.said) << std::hex << c.code;
    }
}

// Every sentence of the table, the longest included, is said whole after the heading and the label.
TEST(Announcement, HoldsEveryReportWhole) {
    const std::string prefix = "Erreur durant la connexion au service Retour : ";
    for (const texts::ResultMessage& message : texts::kResultMessages) {
        std::u16string sentence(message.text);
        while (!sentence.empty() && sentence.back() == u' ') {
            sentence.pop_back();
        }
        EXPECT_EQ(Announced(static_cast<ResultCode>(message.code)), prefix + Utf8(sentence))
            << std::hex << message.code;
    }
}

TEST(Announcement, LineBreaksAndTheSpacesAroundThemBecomeOneSpace) {
    Announcement announcement;
    for (std::u16string_view piece : {u"  un \r\n\r\n  deux", u"\r\n", u"trois  quatre", u" \r\n  "}) {
        announcement.AddlText(piece, {}, 0);
    }
    EXPECT_EQ(Utf8(std::u16string(announcement.view())), "un deux trois  quatre");
    EXPECT_TRUE(Announcement().view().empty());
}

}  // namespace
}  // namespace orbelin
