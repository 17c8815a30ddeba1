// The visual style's flat toolbar button, used to draw the hot and pressed looks of the flat image
// buttons; uxtheme.dll is loaded from the system directory, and without an active visual style the
// classic one-pixel edges are drawn instead.
#pragma once

#include <windows.h>

#include "ui/flat_button.h"
#include "ui/win32/handles.h"

namespace orbelin::win32 {

class ToolbarTheme {
public:
    ToolbarTheme();
    ~ToolbarTheme();
    ToolbarTheme(const ToolbarTheme&) = delete;
    ToolbarTheme& operator=(const ToolbarTheme&) = delete;

    // Opens (again) the window's theme data: at creation and on every WM_THEMECHANGED.
    void Open(HWND window);
    bool themed() const { return theme_ != nullptr; }
    // With `useTheme` false, or without a visual style, the classic raised and sunken edges.
    void DrawButtonFrame(HDC dc, const RECT& bounds, ButtonLook look, bool useTheme) const;

private:
    using ThemeHandle = HANDLE;
    using OpenThemeDataFunction = ThemeHandle(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFunction = HRESULT(WINAPI*)(ThemeHandle);
    using DrawThemeBackgroundFunction = HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const RECT*, const RECT*);
    using IsThemeActiveFunction = BOOL(WINAPI*)();

    void Close();

    // Wine's uxtheme.dll loads msimg32.dll by bare name when it first draws, and that load looks in the
    // program's folder first, as any such load would on Windows 7 without SetDefaultDllDirectories.
    // Loaded here from the system directory, before uxtheme and for as long, it is the copy found.
    UniqueLibrary msimg32_;
    UniqueLibrary uxtheme_;
    OpenThemeDataFunction openThemeData_ = nullptr;
    CloseThemeDataFunction closeThemeData_ = nullptr;
    DrawThemeBackgroundFunction drawThemeBackground_ = nullptr;
    IsThemeActiveFunction isThemeActive_ = nullptr;
    ThemeHandle theme_ = nullptr;
};

}  // namespace orbelin::win32
