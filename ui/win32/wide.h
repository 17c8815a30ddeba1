// UTF-16 text from the portable code, handed to the -W APIs unchanged.
#pragma once

#include <string_view>

namespace orbelin::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is UTF-16");

// For views of string literals only: those are NUL-terminated, which the APIs that take no length need.
inline const wchar_t* WideLiteral(std::u16string_view literal) {
    return reinterpret_cast<const wchar_t*>(literal.data());
}

inline const wchar_t* Wide(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}

}  // namespace orbelin::win32
