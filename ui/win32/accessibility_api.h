// Active Accessibility's functions, loaded from the system directory the first time a client asks
// the window for its accessible object: a user without assistive technology never loads oleacc.dll
// (which is not one of Windows' known DLLs, so a bare name could find a planted copy).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include "ui/win32/handles.h"

namespace orbelin::win32 {

class AccessibilityApi {
public:
    // Loads oleacc.dll and oleaut32.dll once; true while every function below is known.
    bool Load();

    LRESULT ResultFromObject(IUnknown* object, WPARAM wparam) const {
        return resultFromObject_(__uuidof(IAccessible), wparam, object);
    }
    HRESULT StandardClient(HWND window, IAccessible** out) const {
        return createStandard_(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(out));
    }
    // The object that a child window gives for itself, as a client would see it.
    HRESULT WindowObject(HWND window, IDispatch** out) const {
        return objectFromWindow_(window, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(out));
    }
    BSTR AllocString(const wchar_t* text, UINT length) const { return allocString_(text, length); }

private:
    using ResultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using CreateStandardFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using ObjectFromWindowFunction = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    using AllocStringFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);

    bool tried_ = false;
    UniqueLibrary oleacc_;
    UniqueLibrary oleaut_;
    ResultFromObjectFunction resultFromObject_ = nullptr;
    CreateStandardFunction createStandard_ = nullptr;
    ObjectFromWindowFunction objectFromWindow_ = nullptr;
    AllocStringFunction allocString_ = nullptr;
};

// Asks screen readers to announce an element of a window's client object when it changes, without
// taking the user there, through the accessibility property service where the system has it; nothing
// happens where it has not. The annotation is taken back when the object goes.
class LiveRegion {
public:
    LiveRegion() = default;
    ~LiveRegion() { Clear(); }
    LiveRegion(const LiveRegion&) = delete;
    LiveRegion& operator=(const LiveRegion&) = delete;

    void MarkPolite(HWND window, LONG child);
    void Clear();

private:
    UniqueCom<IAccPropServices> services_;
    HWND window_ = nullptr;
    LONG child_ = CHILDID_SELF;
};

}  // namespace orbelin::win32
