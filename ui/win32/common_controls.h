// comctl32.dll, loaded once the DLL search leaves out the program's folder. Imported at load time it
// would come in before the program could restrict anything, and the loader would resolve its own
// imports (uxtheme.dll among them) from the program's folder first: a download folder, where a
// planted copy may wait. It is loaded by bare name so that the manifest's side-by-side redirection
// still gives version 6, the one with SysLink; a system-directory path would bypass it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/win32/handles.h"

namespace orbelin::win32 {

// Holds comctl32.dll for the program's lifetime: one instance, created before any window and
// destroyed after the last one. The free functions below call through it.
class CommonControls {
public:
    CommonControls();
    ~CommonControls();
    CommonControls(const CommonControls&) = delete;
    CommonControls& operator=(const CommonControls&) = delete;

    bool loaded() const;

private:
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using SetSubclassFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    using RemoveSubclassFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
    using DefSubclassFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

    friend BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
    friend BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
    friend BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
    friend LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    UniqueLibrary library_;
    InitFunction init_ = nullptr;
    SetSubclassFunction setSubclass_ = nullptr;
    RemoveSubclassFunction removeSubclass_ = nullptr;
    DefSubclassFunction defSubclass_ = nullptr;
};

// comctl32's functions of the same names; FALSE or 0 when it could not be loaded, so that a window
// without its common controls still works, only without links.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace orbelin::win32
