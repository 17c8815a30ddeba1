// Tfiche_ppal: creation from the window description, the message switch, the flat buttons' mouse
// handling and the click handlers.
#include "ui/ppal.h"

#include <shellapi.h>
#include <windowsx.h>

#include <optional>

#include "resources/resource_ids.h"
#include "ui/dpi.h"
#include "ui/ppal_accessible.h"
#include "ui/win32/colour.h"
#include "ui/win32/rect.h"
#include "ui/win32/wide.h"

namespace orbelin {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;
constexpr ControlId kFlatButtons[] = {ControlId::btn_quit, ControlId::controle_btn};

int SystemDpi() {
    const win32::WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    const wchar_t* className = win32::WideLiteral(kFichePpal.className);
    WNDCLASSEXW existing = {.cbSize = sizeof existing};
    if (GetClassInfoExW(instance, className, &existing)) {
        return true;
    }
    // No CS_DBLCLKS: the second press of a double-click arrives as a press of its own, a click of its own.
    const WNDCLASSEXW windowClass = {
        .cbSize = sizeof windowClass,
        .lpfnWndProc = procedure,
        .hInstance = instance,
        .hIcon = LoadIconW(instance, resources::kMainIcon),
        .hCursor = LoadCursorW(nullptr, IDC_ARROW),
        .lpszClassName = className,
        .hIconSm = static_cast<HICON>(LoadImageW(instance, resources::kMainIcon, IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)),
    };
    return RegisterClassExW(&windowClass) != 0;
}

bool HighContrastOn() {
    HIGHCONTRASTW highContrast = {.cbSize = sizeof highContrast};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Rect PrimaryWorkArea() {
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

}  // namespace

Tfiche_ppal::Tfiche_ppal() : shellOpen_(ShellExecuteW) {}

Tfiche_ppal::~Tfiche_ppal() = default;

bool Tfiche_ppal::Create(HINSTANCE instance, int dpi) {
    instance_ = instance;
    dpi_ = dpi > 0 ? dpi : SystemDpi();
    if (!RegisterWindowClass(instance, WindowProc)) {
        return false;
    }
    LayOut();
    const Size client = ScaleSize(kFichePpal.clientSize, dpi_);
    RECT frame = {0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const Size outer = {frame.right - frame.left, frame.bottom - frame.top};
    const Point at = CentreInWorkArea(PrimaryWorkArea(), outer);
    return CreateWindowExW(kWindowExStyle, win32::WideLiteral(kFichePpal.className),
                           win32::WideLiteral(kFichePpal.caption), kWindowStyle, at.x, at.y, outer.width, outer.height,
                           nullptr, nullptr, instance, this) != nullptr;
}

void Tfiche_ppal::Show(InitialShow show) {
    switch (show) {
        case InitialShow::Maximized:
            ShowWindow(handle(), SW_SHOWMAXIMIZED);
            break;
        case InitialShow::MinimizedInactive:
            ShowWindow(handle(), SW_SHOWMINNOACTIVE);
            break;
        case InitialShow::Normal:
            ShowWindow(handle(), SW_SHOWNORMAL);
            break;
    }
    UpdateWindow(handle());
}

void Tfiche_ppal::LayOut() {
    for (const ControlDescription& control : kFichePpal.controls) {
        bounds_[static_cast<std::size_t>(control.id)] = ScaleRect(control.bounds, dpi_);
    }
}

LRESULT CALLBACK Tfiche_ppal::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Tfiche_ppal*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Tfiche_ppal*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return self->HandleMessage(message, wparam, lparam);
}

LRESULT Tfiche_ppal::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const Point at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return reponse1 != nullptr ? 0 : -1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_ACTIVATE:
            OnActivate(wparam);
            return 0;
        case WM_SETFOCUS:
            SetFocus(reponse1);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(at);
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLeftButtonDown(at);
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(at);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged();
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) {
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wparam));
        case WM_SYSCOLORCHANGE:
            // Child windows hear of it only from their top-level window.
            for (HWND child : {lbl_link2, lbl_link3, reponse1}) {
                SendMessageW(child, message, wparam, lparam);
            }
            OnColoursChanged();
            return 0;
        case WM_SETTINGCHANGE:
            if (wparam == SPI_SETHIGHCONTRAST) {
                OnColoursChanged();
            }
            break;
        case WM_THEMECHANGED:
            theme_.Open(handle());
            OnColoursChanged();
            return 0;
        case WM_GETOBJECT:
            return OnGetObject(wparam, lparam);
        case kRequestedClick:
            OnRequestedClick(wparam);
            return 0;
        case WM_DESTROY:
            destroying_ = true;  // the children go after this: their requests find nothing to build
            DisconnectAccessibility();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(handle(), message, wparam, lparam);
}

void Tfiche_ppal::OnCreate() {
    ChooseColours();
    CreateFonts();
    LoadGlyphs();
    theme_.Open(handle());
    CreateLinks();
    CreatePane();
}

// The pane is the only control that takes the keyboard focus; it gets it whenever the window is activated.
void Tfiche_ppal::OnActivate(WPARAM wparam) {
    if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) {
        SetFocus(reponse1);
    }
}

FlatButtonState& Tfiche_ppal::ButtonState(ControlId id) {
    return id == ControlId::btn_quit ? btn_quit : controle_btn;
}

const FlatButtonState& Tfiche_ppal::ButtonState(ControlId id) const {
    return id == ControlId::btn_quit ? btn_quit : controle_btn;
}

HWND Tfiche_ppal::ChildWindow(ControlId id) const {
    switch (id) {
        case ControlId::lbl_link2:
            return lbl_link2;
        case ControlId::lbl_link3:
            return lbl_link3;
        case ControlId::reponse1:
            return reponse1;
        default:
            return nullptr;
    }
}

void Tfiche_ppal::ButtonLookChanged(ControlId id) {
    const RECT area = win32::ToRect(Bounds(id));
    InvalidateRect(handle(), &area, FALSE);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, handle(), OBJID_CLIENT, ChildFor(id));
}

void Tfiche_ppal::OnMouseMove(Point at) {
    bool overAny = false;
    for (ControlId id : kFlatButtons) {
        const bool over = Bounds(id).Contains(at);
        overAny = overAny || over;
        if (ButtonState(id).PointerMoved(over)) {
            ButtonLookChanged(id);
        }
    }
    if (overAny && !trackingLeave_) {
        TRACKMOUSEEVENT track = {.cbSize = sizeof track, .dwFlags = TME_LEAVE, .hwndTrack = handle()};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
}

void Tfiche_ppal::OnMouseLeave() {
    trackingLeave_ = false;
    for (ControlId id : kFlatButtons) {
        if (ButtonState(id).PointerLeft()) {
            ButtonLookChanged(id);
        }
    }
}

void Tfiche_ppal::OnLeftButtonDown(Point at) {
    for (ControlId id : kFlatButtons) {
        if (ButtonState(id).LeftPressed(Bounds(id).Contains(at))) {
            SetCapture(handle());
            ButtonLookChanged(id);
        }
    }
}

void Tfiche_ppal::OnLeftButtonUp(Point at) {
    std::optional<ControlId> clicked;
    for (ControlId id : kFlatButtons) {
        FlatButtonState& state = ButtonState(id);
        if (state.pressed()) {
            if (state.LeftReleased(Bounds(id).Contains(at))) {
                clicked = id;
            }
            ButtonLookChanged(id);
        }
    }
    // The click is decided before the capture goes: releasing it cancels any press still held.
    if (GetCapture() == handle()) {
        ReleaseCapture();
    }
    if (clicked) {
        UpdateWindow(handle());  // show the released look before the handler runs
        RunClick(*clicked);
    }
}

void Tfiche_ppal::OnCaptureChanged() {
    for (ControlId id : kFlatButtons) {
        if (ButtonState(id).CaptureLost()) {
            ButtonLookChanged(id);
        }
    }
}

bool Tfiche_ppal::OnSetCursor(HWND over, int hitTest) {
    if (over != handle() || hitTest != HTCLIENT) {
        return false;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(handle(), &cursor);
    for (ControlId id : kFlatButtons) {
        if (Bounds(id).Contains({cursor.x, cursor.y})) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return true;
        }
    }
    return false;
}

// Asked by the link labels for the background behind their text. Wine's link control deletes the
// brush it is given after each paint: the DC's own brush, a stock object, survives that, where the
// window's background brush would be gone from under the next paint.
LRESULT Tfiche_ppal::OnControlColour(HDC dc) {
    const COLORREF background = BackgroundColour(PaletteElement::Link);
    SetTextColor(dc, TextColour(PaletteElement::Link));
    SetBkColor(dc, background);
    SetDCBrushColor(dc, background);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void Tfiche_ppal::ChooseColours() {
    colourMode_ = DecideColourMode(HighContrastOn(), GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT));
    // The link control draws its links in the hot-tracking colour on Windows, the highlight under Wine.
    schemeColours_ = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HOTLIGHT),
                      GetSysColor(COLOR_HIGHLIGHT)};
    background_.reset(CreateSolidBrush(BackgroundColour(PaletteElement::Client)));
}

COLORREF Tfiche_ppal::TextColour(PaletteElement element) const {
    return win32::ToColorRef(PaletteColours(element, colourMode_).text);
}

COLORREF Tfiche_ppal::BackgroundColour(PaletteElement element) const {
    return win32::ToColorRef(PaletteColours(element, colourMode_).background);
}

// The same messages come at other times too (a desktop applying its theme as it starts): only a
// change of the colours in use recolours the reports and replaces the link labels.
void Tfiche_ppal::OnColoursChanged() {
    const ColourMode before = colourMode_;
    const std::array<COLORREF, 4> seen = schemeColours_;
    ChooseColours();
    if (before != colourMode_ || seen != schemeColours_) {
        // In contrast mode the runs follow the window-text colour, which may be what changed.
        RecolourPane(before != colourMode_ || colourMode_ == ColourMode::Contrast);
        RecreateLinks();
    }
    RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Tfiche_ppal::RunClick(ControlId id) {
    const ControlDescription& sender = kFichePpal.Control(id);
    switch (id) {
        case ControlId::controle_btn:
            controle_btnClick(sender);
            break;
        case ControlId::btn_quit:
            btn_quitClick(sender);
            break;
        case ControlId::lbl_link2:
            lbl_link2Click(sender);
            break;
        case ControlId::lbl_link3:
            lbl_link3Click(sender);
            break;
        default:
            break;
    }
}

void Tfiche_ppal::controle_btnClick(const ControlDescription&) {
    LectureSmartCard();
}

void Tfiche_ppal::btn_quitClick(const ControlDescription&) {
    PostQuitMessage(0);
}

}  // namespace orbelin
