// Programs linked as the executable is, each asking in one way for code to run at process exit, which
// the executable's entry point never does: the checks must refuse every one of them.
#include <windows.h>

#include <cstdlib>

namespace {

[[gnu::noinline]] void Goodbye() {
    MessageBeep(0);
}

#if defined(EXIT_FIXTURE_STATIC_OBJECT)
// GCC registers this destructor through atexit from a static constructor.
struct Closer {
    ~Closer() { Goodbye(); }
};
Closer g_closer;
#elif defined(EXIT_FIXTURE_DESTRUCTOR_ATTRIBUTE)
// Placed in the .dtors list, which only the C runtime's exit code walks.
[[gnu::destructor]] void GoodbyeAtExit() {
    Goodbye();
}
#elif defined(EXIT_FIXTURE_ONEXIT)
int GoodbyeOnExit() {
    Goodbye();
    return 0;
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#if defined(EXIT_FIXTURE_ONEXIT)
    _onexit(GoodbyeOnExit);
#endif
    return 0;
}
