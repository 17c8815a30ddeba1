// The probe's output: key=value facts, written whole, and the escaping of texts in them.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/utf.h"

namespace test_support {

inline std::string Narrow(const std::wstring& text) {
    return Utf8(std::u16string(text.begin(), text.end()));
}

inline std::string Escaped(const std::wstring& text) {
    std::string out;
    for (const char c : Narrow(text)) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char code[8];
                    std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
                    out += code;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

class Facts {
public:
    void Add(const std::string& key, const std::string& value) { text_ += key + "=" + value + "\n"; }
    void Add(const std::string& key, long long value) { Add(key, std::to_string(value)); }
    void Hex(const std::string& key, unsigned long long value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "0x%llx", value);
        Add(key, buffer);
    }
    void Rgb(const std::string& key, COLORREF colour) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
        Add(key, buffer);
    }
    void Rect(const std::string& key, const RECT& r) {
        Add(key, std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                     std::to_string(r.bottom));
    }
    bool WriteTo(const std::wstring& path) const {
        const std::wstring partial = path + L".part";
        FILE* out = _wfopen(partial.c_str(), L"wb");
        if (!out) {
            return false;
        }
        std::fwrite(text_.data(), 1, text_.size(), out);
        std::fclose(out);
        return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }

private:
    std::string text_;
};

}  // namespace test_support
