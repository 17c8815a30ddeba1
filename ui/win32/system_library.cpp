// System-directory library loading. The full path works on every Windows version, including
// Windows 7 without the update that brought LOAD_LIBRARY_SEARCH_SYSTEM32.
#include "ui/win32/system_library.h"

namespace orbelin::win32 {

UniqueLibrary LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 1) {
        return UniqueLibrary();
    }
    path[length] = L'\\';
    int at = static_cast<int>(length) + 1;
    for (const wchar_t* c = fileName; *c != L'\0'; ++c) {
        if (at >= MAX_PATH - 1) {
            return UniqueLibrary();
        }
        path[at++] = *c;
    }
    path[at] = L'\0';
    return UniqueLibrary(LoadLibraryExW(path, nullptr, 0));
}

}  // namespace orbelin::win32
