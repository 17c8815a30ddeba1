// Program entry: the apartment for COM, the main window created from its description, the event loop.
#include <windows.h>

#include <commctrl.h>

#include "ui/ppal.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/handles.h"

namespace {

// A program run from a Downloads folder must not load DLLs planted beside it: libraries it loads
// itself come from the system directory only. SetDefaultDllDirectories is looked up rather than
// imported because Windows 7 has it only with an update, and the program must start without it.
void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (restrict != nullptr) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryW(L"");  // also drops the current directory from the search order
}

int RunEventLoop() {
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    RestrictDllSearchToSystem();
    // Only now, so that its own imports are not looked for in the program's folder; it outlives the window.
    const orbelin::win32::CommonControls commonControls;
    const orbelin::win32::OleApartment apartment;
    const INITCOMMONCONTROLSEX controls = {.dwSize = sizeof controls, .dwICC = ICC_LINK_CLASS};
    orbelin::win32::InitCommonControlsEx(&controls);

    orbelin::Tfiche_ppal fiche_ppal;
    if (!fiche_ppal.Create(instance)) {
        return 1;
    }
    fiche_ppal.Show(orbelin::InitialShowFor(show));
    return RunEventLoop();
}
