// The result pane reponse1: a read-only rich-edit control, and AddlText, which appends a run of text
// with its own style set and colour at the end of it.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include "ui/ppal.h"
#include "ui/win32/colour.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/system_library.h"
#include "ui/win32/wide.h"

namespace orbelin {
namespace {

constexpr DWORD kPaneStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
constexpr UINT_PTR kPaneSubclass = 1;
// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on; earlier systems pass it on to nobody.
constexpr DWORD kLiveRegionChanged = 0x8019;

// EM_REPLACESEL wants NUL-terminated text; longer texts go in pieces of this many characters.
constexpr std::size_t kChunk = 256;

// The pane only grows, one report per check, for as long as the program runs. The control's default
// limit (32,767 characters) is there to bound what a user types; appended text beyond it is cut off
// on Windows, which would leave reports cut short or missing after a few hundred checks. The largest
// limit that still leaves every character position and the end of the text a valid LONG: memory, not
// the control, is then the only bound.
constexpr LPARAM kPaneTextLimit = 0x7FFFFFFE;

DWORD EffectsFor(TFontStyles style) {
    return (style.Contains(fsBold) ? CFE_BOLD : 0) | (style.Contains(fsItalic) ? CFE_ITALIC : 0) |
           (style.Contains(fsUnderline) ? CFE_UNDERLINE : 0) | (style.Contains(fsStrikeOut) ? CFE_STRIKEOUT : 0);
}

void SetSelectionFormat(HWND pane, DWORD mask, DWORD effects, COLORREF colour) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    format.dwEffects = effects;
    format.crTextColor = colour;
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

void Tfiche_ppal::CreatePane() {
    richEdit_ = win32::LoadSystemLibrary(L"riched20.dll");
    const ControlDescription& pane = kFichePpal.Control(ControlId::reponse1);
    const Rect bounds = Bounds(pane.id);
    reponse1 = CreateWindowExW(0, L"RICHEDIT20W", L"", kPaneStyle, bounds.left, bounds.top, bounds.width, bounds.height,
                               handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(pane.id)), instance_, nullptr);
    if (reponse1 == nullptr) {
        return;
    }
    SendMessageW(reponse1, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(pane.id)].get()),
                 FALSE);
    SendMessageW(reponse1, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(BackgroundColour(PaletteElement::Pane)));
    SendMessageW(reponse1, EM_EXLIMITTEXT, 0, kPaneTextLimit);
    SendMessageW(reponse1, EM_SETTARGETDEVICE, 0, 0);  // wrap at the pane's width
    SendMessageW(reponse1, EM_SETZOOM, 0, 0);          // 100 %
    win32::SetWindowSubclass(reponse1, PaneProc, kPaneSubclass, reinterpret_cast<DWORD_PTR>(this));
}

// Read-only, and without the context menu or the editing commands a rich-edit control may offer.
LRESULT CALLBACK
Tfiche_ppal::PaneProc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self) {
    switch (message) {
        case WM_GETOBJECT:
            // A screen reader may come to the pane first, following the focus: the announcements it
            // will hear must be live by then.
            reinterpret_cast<Tfiche_ppal*>(self)->PrepareAccessibility();
            break;
        case WM_CONTEXTMENU:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
            return 0;
        case WM_NCDESTROY:
            win32::RemoveWindowSubclass(pane, PaneProc, id);
            break;
        default:
            break;
    }
    return win32::DefSubclassProc(pane, message, wparam, lparam);
}

// Raised on the window's announcement element, whose name is the new report alone: the pane's own
// name would be the whole text, or nothing.
void Tfiche_ppal::AnnounceReport(const Announcement& report) {
    lastReport_ = report;
    NotifyWinEvent(kLiveRegionChanged, handle(), OBJID_CLIENT, kAnnouncementChild);
}

void Tfiche_ppal::AddlText(std::u16string_view AText, TFontStyles AStyle, TColor AColor) {
    do {
        const std::u16string_view piece = AText.substr(0, kChunk);
        AText.remove_prefix(piece.size());

        GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
        const auto end =
            static_cast<LONG>(SendMessageW(reponse1, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0));
        paneRuns_.Append(end, AColor);  // for the pieces after the first, the same run goes on
        CHARRANGE caret = {end, end};
        SendMessageW(reponse1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        SendMessageW(reponse1, EM_SCROLLCARET, 0, 0);
        SetSelectionFormat(reponse1, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT, EffectsFor(AStyle), 0);
        SetSelectionFormat(reponse1, CFM_COLOR, 0, win32::ToColorRef(RunColour(AColor, colourMode_)));

        wchar_t text[kChunk + 1];
        piece.copy(reinterpret_cast<char16_t*>(text), piece.size());
        text[piece.size()] = L'\0';
        SendMessageW(reponse1, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));  // not undoable
    } while (!AText.empty());
}

// Each run is selected and given its colour with the pane's drawing held, then the user's selection
// and scroll position are put back. The changes are not the user's to undo.
void Tfiche_ppal::RecolourPane(bool runs) {
    SendMessageW(reponse1, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(BackgroundColour(PaletteElement::Pane)));
    const std::span<const win32::PaneRuns::Run> all = paneRuns_.runs();
    if (!runs || all.empty()) {
        return;
    }
    CHARRANGE selection = {};
    POINT scroll = {};
    SendMessageW(reponse1, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(reponse1, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(reponse1, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < all.size(); ++i) {
        CHARRANGE run = {all[i].start, i + 1 < all.size() ? all[i + 1].start : -1};
        SendMessageW(reponse1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&run));
        SetSelectionFormat(reponse1, CFM_COLOR, 0, win32::ToColorRef(RunColour(all[i].colour, colourMode_)));
    }
    SendMessageW(reponse1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(reponse1, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(reponse1, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(reponse1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(reponse1, nullptr, TRUE);
}

}  // namespace orbelin
