// The palette: the design's colours in the default mode, and in contrast mode system colours that
// read at WCAG's 4.5:1 or better under dark and light contrast schemes; the choice of mode.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "scard/report.h"
#include "ui/palette.h"
#include "ui/window_description.h"

namespace orbelin {
namespace {

constexpr PaletteElement kElements[] = {
    PaletteElement::Client, PaletteElement::Heading,       PaletteElement::ButtonCaption, PaletteElement::Link,
    PaletteElement::Pane,   PaletteElement::ReportSuccess, PaletteElement::ReportFailure, PaletteElement::ReportText,
};

// The system colours the palette uses, as a scheme gives them (0x00BBGGRR), by GetSysColor index.
struct Scheme {
    const char* name;
    std::map<int, TColor> colours;
};

constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r | g << 8 | b << 16);
}

constexpr int kWindow = 5, kWindowText = 8, kHotLight = 26;

const Scheme kDefaultScheme = {"default", {{kWindow, clWhite}, {kWindowText, clBlack}, {kHotLight, Rgb(0, 102, 204)}}};
const Scheme kContrastSchemes[] = {
    {"High Contrast Black",
     {{kWindow, Rgb(0, 0, 0)}, {kWindowText, Rgb(255, 255, 255)}, {kHotLight, Rgb(255, 255, 0)}}},
    {"High Contrast White", {{kWindow, Rgb(255, 255, 255)}, {kWindowText, Rgb(0, 0, 0)}, {kHotLight, Rgb(0, 0, 159)}}},
    {"dark grey, light cyan links",
     {{kWindow, Rgb(32, 32, 32)}, {kWindowText, Rgb(255, 255, 255)}, {kHotLight, Rgb(117, 233, 236)}}},
    {"cream, dark grey text",
     {{kWindow, Rgb(255, 250, 239)}, {kWindowText, Rgb(61, 61, 61)}, {kHotLight, Rgb(28, 94, 117)}}},
};

TColor Resolve(TColor colour, const Scheme& scheme) {
    return IsSystemColor(colour) ? scheme.colours.at(SystemColorIndex(colour)) : colour;
}

// WCAG 2 relative luminance and contrast ratio.
double Luminance(TColor colour) {
    auto channel = [](unsigned value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel(colour >> 8 & 0xFF) +
           0.0722 * channel(colour >> 16 & 0xFF);
}

double Contrast(TColor a, TColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double Contrast(ColourPair pair, const Scheme& scheme) {
    return Contrast(Resolve(pair.text, scheme), Resolve(pair.background, scheme));
}

TEST(Palette, DefaultModeGivesTheDesignsColours) {
    const std::pair<PaletteElement, ColourPair> expected[] = {
        {PaletteElement::Client, {clWindowText, clWhite}},        {PaletteElement::Heading, {clBlack, clWhite}},
        {PaletteElement::ButtonCaption, {clWindowText, clWhite}}, {PaletteElement::Link, {clHotLight, clWhite}},
        {PaletteElement::Pane, {clWindowText, clWindow}},         {PaletteElement::ReportSuccess, {clGreen, clWindow}},
        {PaletteElement::ReportFailure, {clRed, clWindow}},       {PaletteElement::ReportText, {clBlack, clWindow}},
    };
    for (const auto& [element, pair] : expected) {
        EXPECT_EQ(PaletteColours(element, ColourMode::Default), pair) << static_cast<int>(element);
    }
    // The same colours the window description and the report are written with.
    EXPECT_EQ(PaletteColours(PaletteElement::Client, ColourMode::Default).background, kFichePpal.color);
    for (ControlId id : {ControlId::lbl_about1, ControlId::lbl_about2}) {
        EXPECT_EQ(PaletteColours(PaletteElement::Heading, ColourMode::Default).text, kFichePpal.Control(id).font.color);
    }
    EXPECT_EQ(PaletteColours(PaletteElement::ButtonCaption, ColourMode::Default).text,
              kFichePpal.Control(ControlId::controle_btn).font.color);
    const Report success(0), failure(0x8010001D);
    EXPECT_EQ(PaletteColours(PaletteElement::ReportSuccess, ColourMode::Default).text, success[0].color);
    EXPECT_EQ(PaletteColours(PaletteElement::ReportFailure, ColourMode::Default).text, failure[0].color);
    EXPECT_EQ(PaletteColours(PaletteElement::ReportText, ColourMode::Default).text, failure[1].color);
    EXPECT_EQ(PaletteColours(PaletteElement::ReportText, ColourMode::Default).text, failure[2].color);
    for (TColor colour : {clRed, clGreen, clBlack, clWindowText}) {
        EXPECT_EQ(RunColour(colour, ColourMode::Default), colour);
    }
}

// In the default scheme the design reads at 4.5:1 everywhere but its red heading, which it keeps.
TEST(Palette, DefaultSchemeContrastIsTheDesignsWithItsRedAt4To1) {
    for (PaletteElement element : kElements) {
        const double ratio = Contrast(PaletteColours(element, ColourMode::Default), kDefaultScheme);
        if (element == PaletteElement::ReportFailure) {
            EXPECT_NEAR(ratio, 4.0, 0.01);
        } else {
            EXPECT_GE(ratio, 4.5) << static_cast<int>(element);
        }
    }
}

TEST(Palette, ContrastModeTakesEveryColourFromTheSystemAndReadsInEveryScheme) {
    for (const Scheme& scheme : kContrastSchemes) {
        for (PaletteElement element : kElements) {
            const ColourPair pair = PaletteColours(element, ColourMode::Contrast);
            EXPECT_TRUE(IsSystemColor(pair.text) && IsSystemColor(pair.background)) << static_cast<int>(element);
            EXPECT_EQ(pair.background, clWindow) << static_cast<int>(element);
            EXPECT_GE(Contrast(pair, scheme), 4.5) << scheme.name << ", element " << static_cast<int>(element);
        }
        // Every run, whatever it was written in, is drawn in the window-text colour on the pane.
        for (TColor written : {clRed, clGreen, clBlack}) {
            const TColor drawn = RunColour(written, ColourMode::Contrast);
            EXPECT_EQ(drawn, clWindowText);
            EXPECT_GE(Contrast(Resolve(drawn, scheme),
                               Resolve(PaletteColours(PaletteElement::Pane, ColourMode::Contrast).background, scheme)),
                      4.5)
                << scheme.name;
        }
    }
}

// The fixed colours are exactly what fails in a dark scheme: what contrast mode is for.
TEST(Palette, TheDesignsColoursFailInADarkScheme) {
    const Scheme& dark = kContrastSchemes[0];
    EXPECT_LT(Contrast(Resolve(clBlack, dark), Resolve(clWindow, dark)), 1.5);      // "Retour :" on the pane
    EXPECT_LT(Contrast(Resolve(clGreen, dark), Resolve(clWindow, dark)), 4.5);      // the success line
    EXPECT_LT(Contrast(Resolve(clWindowText, dark), Resolve(clWhite, dark)), 1.5);  // captions on the client
}

TEST(Palette, ContrastModeWhenHighContrastIsOnOrTheSchemeIsNotBlackOnWhite) {
    struct Case {
        bool highContrast;
        TColor window, windowText;
        ColourMode expected;
    };
    const Case cases[] = {
        {false, clWhite, clBlack, ColourMode::Default},
        {true, clWhite, clBlack, ColourMode::Contrast},  // High Contrast White has the default's two colours
        {false, clBlack, clWhite, ColourMode::Contrast},
        {false, Rgb(255, 255, 254), clBlack, ColourMode::Contrast},  // the smallest change to either colour
        {false, clWhite, Rgb(1, 0, 0), ColourMode::Contrast},
        {false, Rgb(255, 250, 239), Rgb(61, 61, 61), ColourMode::Contrast},
        {true, clBlack, clWhite, ColourMode::Contrast},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideColourMode(c.highContrast, c.window, c.windowText), c.expected)
            << c.highContrast << " " << std::hex << c.window << " " << c.windowText;
    }
}

}  // namespace
}  // namespace orbelin
