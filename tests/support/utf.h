// UTF-8 <-> UTF-16 for test expectations and failure messages: tests state texts in UTF-8 source,
// independently of the program's own UTF-16 literals.
#pragma once

#include <string>
#include <string_view>

namespace test_support {

inline std::u16string Utf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += 1 + extra;
        if (point >= 0x10000) {
            point -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (point >> 10));
            out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            out += static_cast<char16_t>(point);
        }
    }
    return out;
}

inline std::string Utf8(std::u16string_view utf16) {
    std::string out;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t point = utf16[i];
        if (point >= 0xD800 && point < 0xDC00 && i + 1 < utf16.size()) {
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | (point >> 6));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += static_cast<char>(0xE0 | (point >> 12));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (point >> 18));
            out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return out;
}

}  // namespace test_support
