// The palette's table: one row per element, its colours in the default mode then in contrast mode.
#include "ui/palette.h"

#include <cstddef>
#include <iterator>

#include "ui/indexed_table.h"

namespace orbelin {
namespace {

struct PaletteRow {
    PaletteElement element;
    ColourPair normal;
    ColourPair contrast;
};

constexpr ColourPair kSystemText = {clWindowText, clWindow};

constexpr PaletteRow kPalette[] = {
    {PaletteElement::Client, {clWindowText, clWhite}, kSystemText},
    {PaletteElement::Heading, {clBlack, clWhite}, kSystemText},
    {PaletteElement::ButtonCaption, {clWindowText, clWhite}, kSystemText},
    {PaletteElement::Link, {clHotLight, clWhite}, {clHotLight, clWindow}},
    {PaletteElement::Pane, {clWindowText, clWindow}, kSystemText},
    {PaletteElement::ReportSuccess, {clGreen, clWindow}, kSystemText},
    {PaletteElement::ReportFailure, {clRed, clWindow}, kSystemText},
    {PaletteElement::ReportText, {clBlack, clWindow}, kSystemText},
};

static_assert(std::size(kPalette) == kPaletteElementCount, "one row per element");
static_assert(EachRowAtItsIndex(kPalette, &PaletteRow::element), "each row must sit at the index of its element");

}  // namespace

ColourPair PaletteColours(PaletteElement element, ColourMode mode) {
    const PaletteRow& row = kPalette[static_cast<std::size_t>(element)];
    return mode == ColourMode::Contrast ? row.contrast : row.normal;
}

}  // namespace orbelin
