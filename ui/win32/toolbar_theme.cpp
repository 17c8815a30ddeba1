// Flat toolbar-button frames, themed or classic.
#include "ui/win32/toolbar_theme.h"

#include "ui/win32/system_library.h"

namespace orbelin::win32 {
namespace {

// From vsstyle.h: the TOOLBAR class's button part and its states.
constexpr int kToolbarButtonPart = 1;  // TP_BUTTON
constexpr int kToolbarHot = 2;         // TS_HOT
constexpr int kToolbarPressed = 3;     // TS_PRESSED

}  // namespace

ToolbarTheme::ToolbarTheme()
    : msimg32_(LoadSystemLibrary(L"msimg32.dll")), uxtheme_(LoadSystemLibrary(L"uxtheme.dll")) {
    openThemeData_ = LibraryFunction<OpenThemeDataFunction>(uxtheme_, "OpenThemeData");
    closeThemeData_ = LibraryFunction<CloseThemeDataFunction>(uxtheme_, "CloseThemeData");
    drawThemeBackground_ = LibraryFunction<DrawThemeBackgroundFunction>(uxtheme_, "DrawThemeBackground");
    isThemeActive_ = LibraryFunction<IsThemeActiveFunction>(uxtheme_, "IsThemeActive");
}

ToolbarTheme::~ToolbarTheme() {
    Close();
}

void ToolbarTheme::Close() {
    if (theme_ != nullptr) {
        closeThemeData_(theme_);
        theme_ = nullptr;
    }
}

void ToolbarTheme::Open(HWND window) {
    Close();
    if (openThemeData_ && closeThemeData_ && drawThemeBackground_ && isThemeActive_ && isThemeActive_()) {
        theme_ = openThemeData_(window, L"TOOLBAR");
    }
}

void ToolbarTheme::DrawButtonFrame(HDC dc, const RECT& bounds, ButtonLook look, bool useTheme) const {
    if (look == ButtonLook::Normal) {
        return;
    }
    RECT frame = bounds;
    if (useTheme && theme_ != nullptr) {
        drawThemeBackground_(theme_, dc, kToolbarButtonPart, look == ButtonLook::Hot ? kToolbarHot : kToolbarPressed,
                             &frame, nullptr);
    } else {
        DrawEdge(dc, &frame, look == ButtonLook::Hot ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
}

}  // namespace orbelin::win32
