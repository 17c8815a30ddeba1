// The reference for the start-up and memory figures: the least a Win32 program with one window does
// (a registered class, CreateWindow, ShowWindow, a message loop), built with orbelinchk's own flags.
// Closing the window ends the program.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"BareWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);  // WM_CLOSE: DestroyWindow
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const WNDCLASSEXW windowClass = {
        .cbSize = sizeof windowClass,
        .lpfnWndProc = WindowProc,
        .hInstance = instance,
        .hCursor = LoadCursorW(nullptr, IDC_ARROW),
        .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
        .lpszClassName = kClassName,
    };
    if (!RegisterClassExW(&windowClass)) {
        return 1;
    }
    // The size of orbelinchk's window, so that both map and paint the same area.
    HWND window =
        CreateWindowExW(0, kClassName, L"bare_window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                        CW_USEDEFAULT, CW_USEDEFAULT, 612, 466, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
