// Test double of winscard.dll. Installed in the Wine prefix's system directory and loaded with
// WINEDLLOVERRIDES=winscard=n,b:
//   FAKE_WINSCARD_RESULTS  comma-separated hex codes returned by successive SCardEstablishContext
//                          calls, the last one repeated (unset: success); setting a new value restarts
//   FAKE_WINSCARD_LOG      file to which each call appends one line:
//     establish scope=<n> reserved1=<hex> reserved2=<hex> context_in=<hex> result=<hex8> context=<hex>
//     release context=<hex>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Declared here rather than taken from <winscard.h>, whose declarations are dllimport.
using ScardContext = ULONG_PTR;
constexpr LONG kSuccess = 0;

char g_script[512];
int g_callsInScript = 0;
unsigned g_handlesGiven = 0;

bool ReadVariable(const char* name, char* out, DWORD size) {
    const DWORD length = GetEnvironmentVariableA(name, out, size);
    return length > 0 && length < size;
}

LONG NextResult() {
    char script[sizeof g_script] = "";
    ReadVariable("FAKE_WINSCARD_RESULTS", script, sizeof script);
    if (std::strcmp(script, g_script) != 0) {
        std::strcpy(g_script, script);
        g_callsInScript = 0;
    }
    const char* item = g_script;
    for (int i = 0; i < g_callsInScript; ++i) {
        const char* comma = std::strchr(item, ',');
        if (!comma) {
            break;
        }
        item = comma + 1;
    }
    ++g_callsInScript;
    return static_cast<LONG>(std::strtoul(item, nullptr, 16));
}

void Record(const char* format, ...) {
    char path[MAX_PATH];
    if (!ReadVariable("FAKE_WINSCARD_LOG", path, sizeof path)) {
        return;
    }
    if (FILE* log = std::fopen(path, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(log, format, args);
        va_end(args);
        std::fclose(log);
    }
}

unsigned long long Bits(const void* pointer) {
    return reinterpret_cast<unsigned long long>(pointer);
}

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI
    SCardEstablishContext(DWORD scope, LPCVOID reserved1, LPCVOID reserved2, ScardContext* context) {
    const unsigned long long before = context ? *context : 0;
    const LONG result = NextResult();
    if (result == kSuccess && context) {
        *context = 0x5CA00000 + ++g_handlesGiven;
    }
    Record("establish scope=%lu reserved1=%llx reserved2=%llx context_in=%llx result=%08lx context=%llx\n",
           static_cast<unsigned long>(scope), Bits(reserved1), Bits(reserved2), before,
           static_cast<unsigned long>(result), context ? static_cast<unsigned long long>(*context) : 0ULL);
    return result;
}

__declspec(dllexport) LONG WINAPI SCardReleaseContext(ScardContext context) {
    Record("release context=%llx\n", static_cast<unsigned long long>(context));
    return kSuccess;
}

}  // extern "C"
