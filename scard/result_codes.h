// Result codes of the smart-card resource manager and the French sentence shown for each.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbelin {

// Signed 32 bits on every platform: the PC/SC codes have the high bit set, so they are negative.
using ResultCode = std::int32_t;

inline constexpr ResultCode kScardSuccess = 0;
inline constexpr ResultCode kScardUnknownError = static_cast<ResultCode>(0x80100014);  // SCARD_F_UNKNOWN_ERROR

// The table's sentence for `code`, matched on all 32 bits; empty when the table has no row for it.
std::u16string_view MessageForResult(ResultCode code);

// Narrows a platform LONG to a result code. pcsclite's LONG is 64 bits on x86-64 and carries codes
// either sign-extended or as their unsigned 32-bit value; anything wider than 32 bits is no code the
// resource manager defines, and truncating it could turn it into 0, so it reads as an unknown error.
constexpr ResultCode ResultCodeFromPlatform(long long value) {
    if (value >= INT32_MIN && value <= INT32_MAX) {
        return static_cast<ResultCode>(value);
    }
    if (value > INT32_MAX && value <= static_cast<long long>(UINT32_MAX)) {
        return static_cast<ResultCode>(static_cast<std::uint32_t>(value));
    }
    return kScardUnknownError;
}

}  // namespace orbelin
