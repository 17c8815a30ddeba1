// Constant-time lookup in the message table: the codes form two runs without gaps plus one stray.
#include "scard/result_codes.h"

#include <cstddef>

#include "resources/texts.h"

namespace orbelin {
namespace {

constexpr std::uint32_t kBrokenPipe = 109;  // ERROR_BROKEN_PIPE: a remote session without smart-card redirection
constexpr std::uint32_t kFirstRunStart = 0x80100001;
constexpr std::uint32_t kFirstRunEnd = 0x80100034;
constexpr std::uint32_t kSecondRunStart = 0x80100065;
constexpr std::uint32_t kSecondRunEnd = 0x80100072;

constexpr std::size_t kFirstRunIndex = 1;
constexpr std::size_t kSecondRunIndex = kFirstRunIndex + (kFirstRunEnd - kFirstRunStart + 1);
constexpr std::size_t kRowCount = kSecondRunIndex + (kSecondRunEnd - kSecondRunStart + 1);

constexpr bool TableMatchesRuns() {
    if (std::size(texts::kResultMessages) != kRowCount || texts::kResultMessages[0].code != kBrokenPipe) {
        return false;
    }
    for (std::size_t i = kFirstRunIndex; i < kRowCount; ++i) {
        const std::uint32_t expected =
            i < kSecondRunIndex ? kFirstRunStart + (i - kFirstRunIndex) : kSecondRunStart + (i - kSecondRunIndex);
        if (texts::kResultMessages[i].code != expected) {
            return false;
        }
    }
    return true;
}
static_assert(TableMatchesRuns(), "the message table must hold 109 and the two runs, in order, without gaps");

constexpr std::ptrdiff_t RowFor(std::uint32_t code) {
    if (code == kBrokenPipe) {
        return 0;
    }
    if (code >= kFirstRunStart && code <= kFirstRunEnd) {
        return static_cast<std::ptrdiff_t>(kFirstRunIndex + (code - kFirstRunStart));
    }
    if (code >= kSecondRunStart && code <= kSecondRunEnd) {
        return static_cast<std::ptrdiff_t>(kSecondRunIndex + (code - kSecondRunStart));
    }
    return -1;
}

}  // namespace

std::u16string_view MessageForResult(ResultCode code) {
    const std::ptrdiff_t row = RowFor(static_cast<std::uint32_t>(code));
    return row < 0 ? std::u16string_view() : texts::kResultMessages[row].text;
}

}  // namespace orbelin
