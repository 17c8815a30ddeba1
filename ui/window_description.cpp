// The contents of fiche_ppal: the one place that says where each control is and what it shows.
#include "ui/window_description.h"

#include "resources/texts.h"
#include "ui/indexed_table.h"

namespace orbelin {
namespace {

constexpr std::u16string_view kTahoma = u"Tahoma";
constexpr FontDescription kDefaultFont = {kTahoma, -11, {}, clWindowText};
constexpr FontDescription kLinkFont = {kTahoma, 15, {}, clWindowText};

constexpr std::u16string_view kRemoteSupportUrl = u"https://www.orbelin.fr/support-a-distance";
constexpr std::u16string_view kProductUrl = u"https://www.orbelin.fr/";

constexpr ControlDescription kControls[] = {
    {.id = ControlId::lbl_about1,
     .name = "lbl_about1",
     .kind = ControlKind::Label,
     .bounds = {72, 14, 457, 29},
     .text = texts::kHeading,
     .font = {kTahoma, -24, fsBold, clBlack}},
    {.id = ControlId::lbl_about2,
     .name = "lbl_about2",
     .kind = ControlKind::Label,
     .bounds = {8, 51, 580, 29},
     .text = texts::kSubheading,
     .font = {kTahoma, -15, {}, clBlack}},
    {.id = ControlId::Bevel2,
     .name = "Bevel2",
     .kind = ControlKind::Bevel,
     .bounds = {8, 86, 580, 299},
     .text = {},
     .font = kDefaultFont},
    {.id = ControlId::btn_quit,
     .name = "btn_quit",
     .kind = ControlKind::FlatButton,
     .bounds = {248, 391, 95, 30},
     .text = texts::kQuitCaption,
     .font = kDefaultFont,
     .glyph = Glyph::Quit},
    {.id = ControlId::controle_btn,
     .name = "controle_btn",
     .kind = ControlKind::FlatButton,
     .bounds = {212, 144, 172, 30},
     .text = texts::kCheckCaption,
     .font = kDefaultFont,
     .glyph = Glyph::Controle},
    {.id = ControlId::lbl_link2,
     .name = "lbl_link2",
     .kind = ControlKind::LinkLabel,
     .bounds = {451, 403, 108, 19},
     .text = texts::kRemoteSupportLink,
     .font = kLinkFont,
     .url = kRemoteSupportUrl,
     .tabOrder = 0},
    {.id = ControlId::lbl_link3,
     .name = "lbl_link3",
     .kind = ControlKind::LinkLabel,
     .bounds = {40, 401, 119, 19},
     .text = texts::kProductLink,
     .font = kLinkFont,
     .url = kProductUrl,
     .tabOrder = 1},
    {.id = ControlId::reponse1,
     .name = "reponse1",
     .kind = ControlKind::RichText,
     .bounds = {24, 192, 553, 185},
     .text = {},
     .font = kDefaultFont,
     .tabOrder = 2,
     .tabStop = true},
};

static_assert(std::size(kControls) == kControlCount, "one row per ControlId");
static_assert(EachRowAtItsIndex(kControls, &ControlDescription::id), "each row must sit at the index of its ControlId");

}  // namespace

const WindowDescription kFichePpal = {
    .className = u"Tfiche_ppal",
    .caption = texts::kWindowCaption,
    .clientSize = {596, 427},
    .color = clWhite,
    .font = kDefaultFont,
    .controls = kControls,
};

}  // namespace orbelin
