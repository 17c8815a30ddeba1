// Result codes of the smart-card resource manager and the French sentence shown for each.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orbelin {

// Signed 32 bits on every platform: the PC/SC codes have the high bit set, so they are negative.
using ResultCode = std::int32_t;

inline constexpr ResultCode kScardSuccess = 0;
inline constexpr ResultCode kScardUnknownError = static_cast<ResultCode>(0x80100014);  // SCARD_F_UNKNOWN_ERROR

// One sentence of the table as the executable stores it: a byte a character, which halves the table
// against UTF-16. The bytes are Windows-1252 restricted to Latin-1 plus 0x92 for U+2019, the one
// character of the texts outside Latin-1; operator[] gives the UTF-16 unit.
class MessageText {
public:
    constexpr MessageText() = default;
    constexpr MessageText(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    static constexpr unsigned char kRightQuoteByte = 0x92;

    constexpr std::size_t size() const { return size_; }
    constexpr bool empty() const { return size_ == 0; }
    constexpr char16_t operator[](std::size_t index) const {
        return bytes_[index] == kRightQuoteByte ? u'\u2019' : static_cast<char16_t>(bytes_[index]);
    }

private:
    const unsigned char* bytes_ = nullptr;
    std::size_t size_ = 0;
};

// The table's sentence for `code`, matched on all 32 bits; empty when the table has no row for it.
MessageText MessageForResult(ResultCode code);

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
