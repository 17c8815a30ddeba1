// comctl32.dll loaded at run time; see common_controls.h for why by bare name and why not imported.
#include "ui/win32/common_controls.h"

#include "ui/win32/system_library.h"

namespace orbelin::win32 {
namespace {

// Only set while every function pointer is known, so the free functions need one test.
const CommonControls* g_current = nullptr;

}  // namespace

CommonControls::CommonControls() : library_(LoadLibraryW(L"comctl32.dll")) {
    init_ = LibraryFunction<InitFunction>(library_, "InitCommonControlsEx");
    setSubclass_ = LibraryFunction<SetSubclassFunction>(library_, "SetWindowSubclass");
    removeSubclass_ = LibraryFunction<RemoveSubclassFunction>(library_, "RemoveWindowSubclass");
    defSubclass_ = LibraryFunction<DefSubclassFunction>(library_, "DefSubclassProc");
    if (loaded()) {
        g_current = this;
    }
}

CommonControls::~CommonControls() {
    if (g_current == this) {
        g_current = nullptr;
    }
}

bool CommonControls::loaded() const {
    return init_ && setSubclass_ && removeSubclass_ && defSubclass_;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    return g_current ? g_current->init_(controls) : FALSE;
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    return g_current ? g_current->setSubclass_(window, procedure, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    return g_current ? g_current->removeSubclass_(window, procedure, id) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return g_current ? g_current->defSubclass_(window, message, wparam, lparam) : 0;
}

}  // namespace orbelin::win32
