// Density scaling, first placement, the window description's table, and the etched frame.
#include <gtest/gtest.h>

#include "ui/bevel.h"
#include "ui/dpi.h"
#include "ui/window_description.h"
#include "ui/window_placement.h"

namespace orbelin {
namespace {

TEST(PixelDensity, ScalesRoundingHalfAwayFromZero) {
    struct Case {
        int value, dpi, expected;
    };
    const Case cases[] = {
        {596, 96, 596},  {596, 120, 745}, {596, 144, 894}, {596, 192, 1192}, {427, 120, 534},  // 533.75
        {427, 144, 641},                                                                       // 640.5 rounds up
        {-11, 120, -14},                                                                       // -13.75
        {-11, 144, -17},  // -16.5 rounds away from zero, as MulDiv does
        {15, 144, 23},    // a cell height: 22.5
        {0, 192, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleLength(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    }
}

// Width and height come from the scaled edges, not from scaling the size itself.
TEST(PixelDensity, RectanglesKeepTheirScaledEdges) {
    struct Case {
        Rect at96;
        int dpi;
        Rect expected;
    };
    const Case cases[] = {
        {{24, 192, 553, 185}, 96, {24, 192, 553, 185}},
        {{24, 192, 553, 185}, 120, {30, 240, 691, 231}},
        {{24, 192, 553, 185}, 144, {36, 288, 830, 278}},  // right 865.5 -> 866, bottom 565.5 -> 566
        {{24, 192, 553, 185}, 192, {48, 384, 1106, 370}},
        {{451, 403, 108, 19}, 144, {677, 605, 162, 28}},  // left 676.5 -> 677, right 838.5 -> 839
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleRect(c.at96, c.dpi), c.expected) << c.dpi;
    }
}

TEST(Placement, CentresTheFrameInTheWorkAreaAndNeverOffTheTopLeft) {
    struct Case {
        Rect workArea;
        Size window;
        Point expected;
    };
    const Case cases[] = {
        {{0, 0, 1280, 1024}, {602, 454}, {339, 285}},
        {{0, 0, 1281, 1025}, {602, 454}, {339, 285}},    // halves truncated
        {{0, 40, 1920, 1040}, {602, 454}, {659, 333}},   // taskbar at the top
        {{100, 0, 1820, 1080}, {602, 454}, {709, 313}},  // taskbar on the left
        {{0, 0, 500, 400}, {602, 454}, {0, 0}},          // larger than the work area
        {{0, 0, 599, 453}, {602, 454}, {0, 0}},          // -1.5 truncates to -1, then held at 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentreInWorkArea(c.workArea, c.window), c.expected);
    }
}

TEST(Placement, HonoursOnlyTheMaximisedAndMinimisedShowCommands) {
    EXPECT_EQ(InitialShowFor(3), InitialShow::Maximized);
    EXPECT_EQ(InitialShowFor(7), InitialShow::MinimizedInactive);
    for (int other : {0, 1, 2, 4, 5, 6, 8, 9, 10, 11}) {
        EXPECT_EQ(InitialShowFor(other), InitialShow::Normal) << other;
    }
}

TEST(WindowDescription, ListsTheControlsInCreationOrderWithTheirBounds) {
    struct Row {
        const char* name;
        ControlKind kind;
        Rect bounds;
    };
    const Row expected[] = {
        {"lbl_about1", ControlKind::Label, {72, 14, 457, 29}},
        {"lbl_about2", ControlKind::Label, {8, 51, 580, 29}},
        {"Bevel2", ControlKind::Bevel, {8, 86, 580, 299}},
        {"btn_quit", ControlKind::FlatButton, {248, 391, 95, 30}},
        {"controle_btn", ControlKind::FlatButton, {212, 144, 172, 30}},
        {"lbl_link2", ControlKind::LinkLabel, {451, 403, 108, 19}},
        {"lbl_link3", ControlKind::LinkLabel, {40, 401, 119, 19}},
        {"reponse1", ControlKind::RichText, {24, 192, 553, 185}},
    };
    ASSERT_EQ(kFichePpal.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(kFichePpal.controls[i].name, expected[i].name);
        EXPECT_EQ(kFichePpal.controls[i].kind, expected[i].kind);
        EXPECT_EQ(kFichePpal.controls[i].bounds, expected[i].bounds);
    }
    EXPECT_EQ(kFichePpal.clientSize, (Size{596, 427}));
}

TEST(WindowDescription, FontsTextsAndLinks) {
    const auto& heading = kFichePpal.Control(ControlId::lbl_about1);
    EXPECT_EQ(heading.text, u"Contrôle du service \"Carte à puce\"");
    EXPECT_EQ(heading.font.height, -24);
    EXPECT_EQ(heading.font.style, TFontStyles(fsBold));
    EXPECT_EQ(heading.font.color, clBlack);
    EXPECT_EQ(kFichePpal.Control(ControlId::lbl_about2).font.height, -15);
    EXPECT_EQ(kFichePpal.Control(ControlId::btn_quit).text, u" Quitter");
    EXPECT_EQ(kFichePpal.Control(ControlId::controle_btn).text, u" Lancer le contrôle");
    EXPECT_EQ(kFichePpal.font.face, u"Tahoma");
    EXPECT_EQ(kFichePpal.font.height, -11);

    for (ControlId id : {ControlId::lbl_link2, ControlId::lbl_link3}) {
        const auto& link = kFichePpal.Control(id);
        EXPECT_EQ(link.font.height, 15);  // a cell height
        EXPECT_EQ(link.url.substr(0, 8), u"https://");
        EXPECT_FALSE(link.tabStop);
    }
    EXPECT_EQ(kFichePpal.Control(ControlId::lbl_link2).text, u"Support à Distance");
    EXPECT_EQ(kFichePpal.Control(ControlId::lbl_link3).text, u"Logiciel lecture Vitale");
    EXPECT_TRUE(kFichePpal.Control(ControlId::reponse1).tabStop);
}

TEST(EtchedFrame, HighlightOutlineInsetByOneThenShadowOutlineOverIt) {
    const auto lines = EtchedFrame({8, 86, 580, 299});
    const FrameLine expected[] = {
        {{9, 87, 579, 1}, clBtnHighlight},   {{9, 384, 579, 1}, clBtnHighlight}, {{9, 87, 1, 298}, clBtnHighlight},
        {{587, 87, 1, 298}, clBtnHighlight}, {{8, 86, 579, 1}, clBtnShadow},     {{8, 383, 579, 1}, clBtnShadow},
        {{8, 86, 1, 298}, clBtnShadow},      {{586, 86, 1, 298}, clBtnShadow},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].line, expected[i].line) << i;
        EXPECT_EQ(lines[i].colour, expected[i].colour) << i;
    }
}

}  // namespace
}  // namespace orbelin
