// The portable Rect as the RECT that GDI and USER take (right and bottom exclusive, as both use).
#pragma once

#include <windows.h>

#include "ui/geometry.h"

namespace orbelin::win32 {

inline RECT ToRect(Rect r) {
    return {r.left, r.top, r.right(), r.bottom()};
}

}  // namespace orbelin::win32
