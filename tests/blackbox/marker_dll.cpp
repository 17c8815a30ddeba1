// A DLL that only tells that it was loaded: on process attach it creates an empty file named after
// its own file name (riched20.dll, uxtheme.dll...) in the folder MARKER_DIR names. Copied beside the
// program under the names of system DLLs, it shows which of them the loader took from there.
#include <windows.h>

namespace {

void LeaveMarker(HINSTANCE self) {
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const wchar_t* name = module;
    for (const wchar_t* c = module; *c != L'\0'; ++c) {
        if (*c == L'\\' || *c == L'/') {
            name = c + 1;
        }
    }
    wchar_t path[2 * MAX_PATH];
    const DWORD folder = GetEnvironmentVariableW(L"MARKER_DIR", path, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH) {
        return;
    }
    DWORD at = folder;
    path[at++] = L'\\';
    for (const wchar_t* c = name; *c != L'\0' && at < 2 * MAX_PATH - 1; ++c) {
        path[at++] = *c;
    }
    path[at] = L'\0';
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

}  // namespace

// Staying loaded keeps the process alive when a copy stands in for a DLL another one imports from:
// a refused attach would end the start-up there, and the test would see a missing window instead.
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        LeaveMarker(self);
    }
    return TRUE;
}
