// The report of one check as the pieces appended to the result pane, built without the heap.
#pragma once

#include <cstddef>
#include <string_view>

#include "scard/result_codes.h"
#include "ui/text_style.h"

namespace orbelin {

struct ReportPiece {
    std::u16string_view text;
    TFontStyles style;
    TColor color;
};

// The line after "Retour :": a space, the table's sentence or the unknown-code fallback, CR LF.
class DetailText {
public:
    explicit DetailText(ResultCode code);

    // Sized for the longest sentence; any copy keeps its own buffer, so views never dangle.
    static constexpr std::size_t kCapacity = 256;

    std::u16string_view view() const { return {buffer_, length_}; }

private:
    void Append(std::u16string_view text);
    void Append(MessageText text);
    void AppendSignedDecimal(ResultCode value);

    char16_t buffer_[kCapacity];
    std::size_t length_ = 0;
};

// One piece on success; on failure the red heading, the underlined label and the detail.
class Report {
public:
    explicit Report(ResultCode code) : code_(code), detail_(code) {}

    std::size_t size() const { return code_ == kScardSuccess ? 1 : 3; }
    ReportPiece operator[](std::size_t index) const;

private:
    ResultCode code_;
    DetailText detail_;
};

}  // namespace orbelin
