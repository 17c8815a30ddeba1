// The probe's screen-reader view of the running program (see probe_accessible.cpp).
#pragma once

#include <string>

// probe OUT accessible [X,Y ...]   the window's accessible tree, as a screen reader reads it, then
//                                  what accHitTest and AccessibleObjectFromPoint find at each client point
int WriteAccessible(const std::wstring& out, int count, wchar_t** points);
// probe OUT modules                the DLLs loaded in the program's process, without asking it anything
int WriteModules(const std::wstring& out);
