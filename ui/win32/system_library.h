// Loads a DLL from the Windows system directory only, never from the program's folder, where a
// download could have left a planted copy.
#pragma once

#include "ui/win32/handles.h"

namespace orbelin::win32 {

UniqueLibrary LoadSystemLibrary(const wchar_t* fileName);

template <class Function>
Function LibraryFunction(const UniqueLibrary& library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library.get(), name))) : nullptr;
}

}  // namespace orbelin::win32
