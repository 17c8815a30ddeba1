// Changes the system colours from inside the running program, as a change of colour scheme does on
// Windows. Wine keeps each process's system colours as they were when it started, so SetSysColors
// called by another process never reaches a program already running there. probe.exe installs this
// DLL's hook on the program's thread; on its request the program's own thread calls SetSysColors,
// which also tells every top-level window (WM_SYSCOLORCHANGE) and keeps the colours for programs
// started later.
#include <windows.h>

#include "scheme_request.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK SchemeHook(int code, WPARAM wparam, LPARAM lparam) {
    const MSG* message = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && message->hwnd == nullptr &&
        message->message == test_support::kApplyScheme) {
        if (HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, test_support::kSchemeRequestName)) {
            if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(test_support::SchemeRequest))) {
                auto* request = static_cast<test_support::SchemeRequest*>(view);
                request->done = SetSysColors(request->count, request->indices, request->values) ? 1 : 2;
                UnmapViewOfFile(view);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
