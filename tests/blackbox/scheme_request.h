// What probe.exe asks of scheme_hook.dll inside the program: system colours to set, in a named
// shared block, and whether they were set.
#pragma once

#include <windows.h>

namespace test_support {

struct SchemeRequest {
    LONG count;
    INT indices[32];
    COLORREF values[32];
    volatile LONG done;  // 0 while waiting, 1 once set, 2 if SetSysColors failed
};

inline constexpr wchar_t kSchemeRequestName[] = L"orbelin-probe-scheme";
// Posted to the program's thread, without a window: only the hook looks at it.
inline constexpr UINT kApplyScheme = WM_APP + 0x4C1;

}  // namespace test_support
