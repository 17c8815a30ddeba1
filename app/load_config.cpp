// The executable's load configuration: Windows 10 1607 and later resolve its static imports
// (WinSCard.dll among them) from System32 only, never from the folder it was downloaded to.
#include <windows.h>

#include <cstddef>

namespace {

// On x86 the size is 64: the PE format asks for exactly that for compatibility with Windows XP and
// earlier, and it ends just before the SafeSEH fields. Leaving SEHandlerTable and SEHandlerCount out
// (and zero behind them) means "no SafeSEH table": every frame-based handler stays allowed, as in an
// image without any load configuration. A table present but without GCC's handlers in it would make
// each of them invalid, and GCC builds no such table. x64 has no SafeSEH (its handlers are described
// by .pdata), so there the whole structure as this SDK knows it is declared.
#ifdef _WIN64
constexpr DWORD kDeclaredSize = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY);
#else
constexpr DWORD kDeclaredSize = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerTable);
static_assert(kDeclaredSize == 64, "the x86 load configuration Windows XP and later accept is 64 bytes");
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, Reserved1) == 54, "DependentLoadFlags is at offset 54");
#endif

}  // namespace

// The name the loader's directory entry is pointed at after linking (cmake/point_load_config.py):
// GNU ld 2.40 does not do it. Everything left zero is absent: no security cookie, no Control Flow
// Guard, no lock prefix table, the default heap and time-out settings.
// Aligned as the type asks, not padded out to 32 bytes as GCC does for large objects.
extern "C" alignas(IMAGE_LOAD_CONFIG_DIRECTORY) const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = kDeclaredSize,
    // DependentLoadFlags in newer SDKs; older loaders (Windows 7, 8, 8.1) ignore the field.
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
