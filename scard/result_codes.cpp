// Constant-time lookup in the message table: the codes form two runs without gaps plus one stray. The
// UTF-16 texts are packed at compile time into one byte string, so only the packed form reaches the binary.
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

constexpr bool Packable(char16_t unit) {
    const bool latin1 = unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF);  // no C1 controls: 0x92 is taken
    return latin1 || unit == u'\u2019';
}

constexpr bool AllTextsPackable() {
    for (const auto& row : texts::kResultMessages) {
        for (const char16_t unit : row.text) {
            if (!Packable(unit)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(AllTextsPackable(), "a message holds a character that has no byte in the packed table");

constexpr std::size_t PackedSize() {
    std::size_t size = 0;
    for (const auto& row : texts::kResultMessages) {
        size += row.text.size();
    }
    return size;
}
static_assert(PackedSize() <= UINT16_MAX, "row offsets are 16 bits");

struct PackedTable {
    unsigned char bytes[PackedSize()];
    std::uint16_t starts[kRowCount + 1];  // row i is bytes[starts[i]] up to bytes[starts[i + 1]]
};

constexpr PackedTable Pack() {
    PackedTable table{};
    std::size_t length = 0;
    for (std::size_t row = 0; row < kRowCount; ++row) {
        table.starts[row] = static_cast<std::uint16_t>(length);
        for (const char16_t unit : texts::kResultMessages[row].text) {
            table.bytes[length++] = unit == u'\u2019' ? MessageText::kRightQuoteByte : static_cast<unsigned char>(unit);
        }
    }
    table.starts[kRowCount] = static_cast<std::uint16_t>(length);
    return table;
}

constexpr PackedTable kPacked = Pack();

}  // namespace

MessageText MessageForResult(ResultCode code) {
    const std::ptrdiff_t row = RowFor(static_cast<std::uint32_t>(code));
    if (row < 0) {
        return {};
    }
    const std::size_t start = kPacked.starts[row];
    return {kPacked.bytes + start, static_cast<std::size_t>(kPacked.starts[row + 1] - start)};
}

}  // namespace orbelin
