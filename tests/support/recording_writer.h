// A report writer that keeps every appended piece, for asserting on what the pane would receive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/utf.h"
#include "ui/text_style.h"

namespace test_support {

struct AppendedPiece {
    std::string text;  // UTF-8, for readable failure messages
    orbelin::TFontStyles style;
    orbelin::TColor color;

    bool operator==(const AppendedPiece&) const = default;
};

inline void PrintTo(const AppendedPiece& piece, std::ostream* out) {
    *out << "{\"" << piece.text << "\", style " << int(piece.style.bits()) << ", colour 0x" << std::hex << piece.color
         << std::dec << "}";
}

struct RecordingWriter {
    std::vector<AppendedPiece> pieces;

    void AddlText(std::u16string_view text, orbelin::TFontStyles style, orbelin::TColor color) {
        pieces.push_back({Utf8(text), style, color});
    }
};

// The pieces the pane must receive for one check with `result`, as the product states them.
inline std::vector<AppendedPiece> ExpectedReport(const std::string& detailAfterLabel, bool success) {
    using namespace orbelin;
    if (success) {
        return {{"Connecté au service\r\n", fsBold, clGreen}};
    }
    return {{"Erreur durant la connexion au service\r\n", fsBold, clRed},
            {"Retour :", fsUnderline, clBlack},
            {detailAfterLabel, TFontStyles(), clBlack}};
}

}  // namespace test_support
