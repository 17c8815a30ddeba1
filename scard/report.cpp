// Builds the report pieces and the detail line, including the signed-decimal fallback.
#include "scard/report.h"

#include <cstdint>

#include "resources/texts.h"

namespace orbelin {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

constexpr std::size_t LongestMessage() {
    std::size_t longest = 0;
    for (const auto& row : texts::kResultMessages) {
        longest = row.text.size() > longest ? row.text.size() : longest;
    }
    return longest;
}

constexpr std::size_t kLongestFallback = texts::kUnknownCodePrefix.size() + 11;  // "-2147483648"
static_assert(1 + LongestMessage() + kLineBreak.size() <= DetailText::kCapacity, "detail buffer too small");
static_assert(kLongestFallback + kLineBreak.size() <= DetailText::kCapacity, "detail buffer too small");

}  // namespace

DetailText::DetailText(ResultCode code) {
    const MessageText message = MessageForResult(code);
    if (message.empty()) {
        Append(texts::kUnknownCodePrefix);
        AppendSignedDecimal(code);
    } else {
        Append(u" ");
        Append(message);
    }
    Append(kLineBreak);
}

void DetailText::Append(std::u16string_view text) {
    for (const char16_t unit : text) {
        buffer_[length_++] = unit;
    }
}

void DetailText::Append(MessageText text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        buffer_[length_++] = text[i];
    }
}

void DetailText::AppendSignedDecimal(ResultCode value) {
    // Unsigned 32-bit arithmetic gives INT32_MIN a magnitude without pulling in 64-bit division.
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        Append(u"-");
        magnitude = 0u - magnitude;
    }
    char16_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count != 0) {
        buffer_[length_++] = digits[--count];
    }
}

ReportPiece Report::operator[](std::size_t index) const {
    if (code_ == kScardSuccess) {
        return {texts::kConnected, fsBold, clGreen};
    }
    switch (index) {
        case 0:
            return {texts::kConnectionFailed, fsBold, clRed};
        case 1:
            return {texts::kReturnLabel, fsUnderline, clBlack};
        default:
            return {detail_.view(), TFontStyles(), clBlack};
    }
}

}  // namespace orbelin
