// Program entry: the apartment for COM, the main window created from its description, the event loop.
#include <windows.h>

#include <commctrl.h>

#include "ui/ppal.h"
#include "ui/win32/handles.h"

namespace {

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
    const orbelin::win32::OleApartment apartment;
    const INITCOMMONCONTROLSEX controls = {.dwSize = sizeof controls, .dwICC = ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);

    orbelin::Tfiche_ppal fiche_ppal;
    if (!fiche_ppal.Create(instance)) {
        return 1;
    }
    fiche_ppal.Show(orbelin::InitialShowFor(show));
    return RunEventLoop();
}
