// Program entry: a bare window for now, whose click runs one service check.
#include <windows.h>

#include "scard/service_check.h"
#include "scard/winscard_manager.h"

namespace {

struct DiscardingWriter {
    void AddlText(std::u16string_view, orbelin::TFontStyles, orbelin::TColor) {}
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONUP: {
            orbelin::WinSCardManager manager;
            DiscardingWriter writer;
            orbelin::RunServiceCheck(manager, writer);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Tfiche_ppal";
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (!RegisterClassW(&windowClass)) {
        return 1;
    }
    HWND window = CreateWindowExW(0, L"Tfiche_ppal", L"Orbelin - Contr\u00f4le du service",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 600, 460, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
