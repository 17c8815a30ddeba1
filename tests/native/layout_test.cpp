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

// Bounds, texts and reading order are checked where they show (the window's accessible tree, read from
// another process); the row order is a static_assert. What only the table says: fonts and tab stops.
TEST(WindowDescription, FontsAndTabStops) {
    struct Row {
        ControlId id;
        int height;  // negative: a character height; positive (the links): a cell height
        TFontStyles style;
        TColor color;
        bool tabStop;
    };
    // clang-format off
    const Row expected[] = {
        {ControlId::lbl_about1, -24, fsBold, clBlack, false},
        {ControlId::lbl_about2, -15, {}, clBlack, false},
        {ControlId::btn_quit, -11, {}, clWindowText, false},
        {ControlId::controle_btn, -11, {}, clWindowText, false},
        {ControlId::lbl_link2, 15, {}, clWindowText, false},
        {ControlId::lbl_link3, 15, {}, clWindowText, false},
        {ControlId::reponse1, -11, {}, clWindowText, true},
    };
    // clang-format on
    for (const Row& row : expected) {
        const ControlDescription& control = kFichePpal.Control(row.id);
        SCOPED_TRACE(control.name);
        EXPECT_EQ(control.font.face, u"Tahoma");
        EXPECT_EQ(control.font.height, row.height);
        EXPECT_EQ(control.font.style, row.style);
        EXPECT_EQ(control.font.color, row.color);
        EXPECT_EQ(control.tabStop, row.tabStop);
    }
    for (ControlId id : {ControlId::lbl_link2, ControlId::lbl_link3}) {
        EXPECT_EQ(kFichePpal.Control(id).url.substr(0, 8), u"https://");
    }
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
