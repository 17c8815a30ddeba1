// The executable's entry point, in place of MinGW's C runtime start-up code (crt2u.o, crtbegin.o and what
// they pull in), which the executable is linked without (-nostartfiles).
//
// That code prepares what this program never uses: C stdio, argument vectors, thread-local storage,
// pseudo-relocations, floating-point and signal handling; and it registers unwind tables (.eh_frame) with
// an unwinder that is not linked in, since nothing throws. It came to 11 KB of the executable.
#include <windows.h>

#include <cstddef>

// Built by the linker (GNU ld and LLD alike): -1, the static constructors, then a null.
extern "C" void (*__CTOR_LIST__[])();

namespace {

// The program has no static constructors today; should one appear, it still runs, in the order GCC's
// runtime uses (the last in the list first).
void RunStaticConstructors() {
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) {
        ++count;
    }
    for (; count != 0; --count) {
        __CTOR_LIST__[count]();
    }
}

// The command line after the program's name and the blanks that follow it, as the runtime computes it.
PWSTR CommandTail() {
    PWSTR tail = GetCommandLineW();
    const bool quoted = *tail == L'"';
    tail += quoted ? 1 : 0;
    while (*tail != L'\0' && (quoted ? *tail != L'"' : *tail > L' ')) {
        ++tail;
    }
    tail += quoted && *tail == L'"' ? 1 : 0;
    while (*tail != L'\0' && *tail <= L' ') {
        ++tail;
    }
    return tail;
}

// The show command the starting process asked for, or the default, as the runtime passes it on.
int StartupShowCommand() {
    STARTUPINFOW startup = {.cb = sizeof startup};
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

extern "C" [[noreturn]] void OrbelinEntry() {
    RunStaticConstructors();
    const int exitCode = wWinMain(GetModuleHandleW(nullptr), nullptr, CommandTail(), StartupShowCommand());
    // As the runtime's exit() ends: threads that COM or the rich edit control started end with the process.
    ExitProcess(static_cast<UINT>(exitCode));
}
