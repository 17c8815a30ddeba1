// Linked as the shipped executable is, with its entry point (app/entry.cpp) in place of the C runtime's
// start-up code; run under Wine with the arguments "a b" c, it exits with 0 when static constructors ran
// before wWinMain and wWinMain received the command line after the program's name.
#include <windows.h>

namespace {

// Not constexpr, so the value can only come from a static constructor.
[[gnu::noinline]] int Constructed() {
    return static_cast<int>(GetCurrentProcessId() != 0) * 42;
}

const int g_constructed = Constructed();

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int) {
    if (g_constructed != 42) {
        return 1;
    }
    if (lstrcmpW(commandLine, L"\"a b\" c") != 0) {
        return 2;
    }
    return instance == GetModuleHandleW(nullptr) && previous == nullptr ? 0 : 3;
}
