// Move-only owners for every Win32 handle the program holds, so that each GDI object, DC, library
// and theme is released by a destructor rather than by hand at every return.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <utility>

namespace orbelin::win32 {

template <class Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }
    Handle release() { return std::exchange(handle_, Invalid); }
    void reset(Handle handle = Invalid) {
        if (handle_ != Invalid) {
            Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Invalid;
};

inline void DeleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}

using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniquePen = UniqueHandle<HPEN, DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDC>;
using UniqueLibrary = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;

template <class Interface>
void ReleaseCom(Interface* object) {
    object->Release();
}

// A counted reference to a COM object, released once.
template <class Interface>
using UniqueCom = UniqueHandle<Interface*, ReleaseCom<Interface>>;

// Selects an object into a DC for the guard's lifetime.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_ = nullptr;
};

// GetDC / ReleaseDC; a null window gives the screen's DC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// OleInitialize / OleUninitialize for the user-interface thread.
class OleApartment {
public:
    OleApartment() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleApartment() {
        if (ok_) {
            OleUninitialize();
        }
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

private:
    bool ok_;
};

}  // namespace orbelin::win32
