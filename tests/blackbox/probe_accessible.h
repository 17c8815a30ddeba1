// The probe's screen-reader view of the running program (see probe_accessible.cpp).
#pragma once

#include <string>

// probe OUT accessible [X,Y ...]   the window's accessible tree, as a screen reader reads it, then
//                                  what accHitTest and AccessibleObjectFromPoint find at each client point
int WriteAccessible(const std::wstring& out, int count, wchar_t** points);
// probe OUT act tree CHILD       runs the default action of the window's child CHILD, as AccessibleChildren
// probe OUT act point X,Y         lists it, or of what AccessibleObjectFromPoint finds at the client point
int ActOn(const std::wstring& out, const std::wstring& how, const wchar_t* which);
// probe OUT listen                hears the program's live-region events out of context and reads each
//                                 source's name as it arrives; writes OUT.ready once listening, OUT after
//                                 each event, and stops once OUT.stop exists
int Listen(const std::wstring& out);
// probe OUT modules                the DLLs loaded in the program's process, without asking it anything
int WriteModules(const std::wstring& out);
