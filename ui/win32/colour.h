// TColor to COLORREF: system colours are looked up when used, so they follow the user's settings.
#pragma once

#include <windows.h>

#include "ui/text_style.h"

namespace orbelin::win32 {

// The portable system colours name their GetSysColor index without <windows.h>: they must agree.
static_assert(SystemColorIndex(clWindow) == COLOR_WINDOW && SystemColorIndex(clWindowText) == COLOR_WINDOWTEXT &&
              SystemColorIndex(clBtnShadow) == COLOR_BTNSHADOW &&
              SystemColorIndex(clBtnHighlight) == COLOR_BTNHIGHLIGHT);

inline COLORREF ToColorRef(TColor colour) {
    return IsSystemColor(colour) ? GetSysColor(SystemColorIndex(colour)) : static_cast<COLORREF>(colour);
}

}  // namespace orbelin::win32
