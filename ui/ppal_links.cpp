// The link labels lbl_link2 and lbl_link3: SysLink controls sized to their text, opened by a plain
// left click anywhere in the label and never by the keyboard.
#include <windows.h>

#include <commctrl.h>

#include "ui/dpi.h"
#include "ui/ppal.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/wide.h"

namespace orbelin {
namespace {

constexpr DWORD kLinkStyle = WS_CHILD | WS_VISIBLE;  // not a tab stop

// Writes <a href="url">text</a> into `out`; false when it does not fit.
bool LinkMarkup(const ControlDescription& link, wchar_t* out, std::size_t capacity) {
    std::size_t at = 0;
    auto put = [&](std::u16string_view part) {
        for (const char16_t c : part) {
            if (at + 1 >= capacity) {
                return false;
            }
            out[at++] = static_cast<wchar_t>(c);
        }
        return true;
    };
    const bool fits = put(u"<a href=\"") && put(link.url) && put(u"\">") && put(link.text) && put(u"</a>");
    out[at] = L'\0';
    return fits;
}

Size TextExtent(HFONT font, std::u16string_view text) {
    const win32::WindowDc screen(nullptr);
    const win32::ScopedSelect selection(screen.get(), font);
    SIZE extent = {};
    GetTextExtentPoint32W(screen.get(), win32::Wide(text), static_cast<int>(text.size()), &extent);
    return {extent.cx, extent.cy};
}

}  // namespace

void Tfiche_ppal::CreateLinks() {
    lbl_link2 = CreateLink(kFichePpal.Control(ControlId::lbl_link2));
    lbl_link3 = CreateLink(kFichePpal.Control(ControlId::lbl_link3));
}

// Wine's link control reads the link colour once, when it is created, and keeps it through every
// change of scheme: new labels take the scheme's colour. They go back in front of the pane, in their
// first order, so that the window's children stay as they were.
void Tfiche_ppal::RecreateLinks() {
    pressedLink_ = nullptr;
    const HWND old[] = {lbl_link2, lbl_link3};
    CreateLinks();
    for (HWND link : old) {
        if (link != nullptr) {
            DestroyWindow(link);
        }
    }
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(lbl_link2, HWND_TOP, 0, 0, 0, 0, kKeepPlace);
    SetWindowPos(lbl_link3, lbl_link2, 0, 0, 0, 0, kKeepPlace);
}

// The label takes the size of its text plus four borders each way; its left and top stay.
HWND Tfiche_ppal::CreateLink(const ControlDescription& link) {
    wchar_t markup[256];
    if (!LinkMarkup(link, markup, std::size(markup))) {
        return nullptr;
    }
    const HFONT font = fonts_[static_cast<std::size_t>(link.id)].get();
    const Size text = TextExtent(font, link.text);
    Rect& bounds = bounds_[static_cast<std::size_t>(link.id)];
    bounds.width = text.width + 4 * GetSystemMetrics(SM_CXBORDER);
    bounds.height = text.height + 4 * GetSystemMetrics(SM_CYBORDER);
    HWND label = CreateWindowExW(0, WC_LINK, markup, kLinkStyle, bounds.left, bounds.top, bounds.width, bounds.height,
                                 handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(link.id)), instance_, nullptr);
    if (label != nullptr) {
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        win32::SetWindowSubclass(label, LinkProc, static_cast<UINT_PTR>(link.id), reinterpret_cast<DWORD_PTR>(this));
    }
    return label;
}

LRESULT CALLBACK
Tfiche_ppal::LinkProc(HWND link, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self) {
    return reinterpret_cast<Tfiche_ppal*>(self)->LinkMessage(link, static_cast<ControlId>(id), message, wparam, lparam);
}

// The control's own mouse handling is bypassed: it would take the focus and activate only the link
// text, where the whole label is the click target.
LRESULT Tfiche_ppal::LinkMessage(HWND link, ControlId id, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NCHITTEST:
            // SysLink answers HTTRANSPARENT away from its link text, which would send presses on the
            // label's margin to the main window: the whole label is the target.
            return HTCLIENT;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressedLink_ = link;
            SetCapture(link);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressedLink_ == link;
            pressedLink_ = nullptr;
            if (GetCapture() == link) {
                ReleaseCapture();
            }
            RECT client = {};
            GetClientRect(link, &client);
            const POINT at = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            if (wasPressed && PtInRect(&client, at)) {
                RunClick(id);
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressedLink_ == link) {
                pressedLink_ = nullptr;
            }
            return 0;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_GETOBJECT:
            // The label is an element of the main window's object. A client that starts from the
            // label's window, as AccessibleObjectFromPoint does, hit-tests that object and reaches
            // the same element, with its name and action, as one that walks the tree.
            if (const LRESULT object = ClientObject(wparam, lparam)) {
                return object;
            }
            break;
        case WM_NCDESTROY:
            win32::RemoveWindowSubclass(link, LinkProc, static_cast<UINT_PTR>(id));
            break;
        default:
            break;
    }
    return win32::DefSubclassProc(link, message, wparam, lparam);
}

void Tfiche_ppal::OpenAddress(std::u16string_view url) {
    shellOpen_(handle(), L"open", win32::WideLiteral(url), nullptr, nullptr, SW_SHOW);  // result ignored
}

void Tfiche_ppal::lbl_link2Click(const ControlDescription&) {
    OpenAddress(kFichePpal.Control(ControlId::lbl_link2).url);
}

void Tfiche_ppal::lbl_link3Click(const ControlDescription&) {
    OpenAddress(kFichePpal.Control(ControlId::lbl_link3).url);
}

}  // namespace orbelin
