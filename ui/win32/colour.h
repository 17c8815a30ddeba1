// TColor to COLORREF: system colours are looked up when used, so they follow the user's settings.
#pragma once

#include <windows.h>

#include "ui/text_style.h"

namespace orbelin::win32 {

inline COLORREF ToColorRef(TColor colour) {
    return IsSystemColor(colour) ? GetSysColor(SystemColorIndex(colour)) : static_cast<COLORREF>(colour);
}

}  // namespace orbelin::win32
