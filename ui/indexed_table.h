// The window's constant tables (the controls, the palette) hold one row per value of an enumeration,
// at that value's index, so that a lookup is an index. Each table checks so at compile time.
#pragma once

#include <cstddef>

namespace orbelin {

template <class Row, std::size_t N, class Key>
constexpr bool EachRowAtItsIndex(const Row (&rows)[N], Key Row::*key) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].*key) != i) {
            return false;
        }
    }
    return true;
}

}  // namespace orbelin
