// The report's pieces with their styles and colours, and the exactness of the style and colour types.
#include "scard/report.h"

#include <gtest/gtest.h>

#include "support/recording_writer.h"
#include "support/utf.h"

namespace orbelin {
namespace {

using test_support::AppendedPiece;
using test_support::ExpectedReport;
using test_support::Utf8;

std::vector<AppendedPiece> Pieces(const Report& report) {
    std::vector<AppendedPiece> out;
    for (std::size_t i = 0; i < report.size(); ++i) {
        out.push_back({Utf8(report[i].text), report[i].style, report[i].color});
    }
    return out;
}

TEST(Report, SuccessIsOneGreenBoldLine) {
    EXPECT_EQ(Pieces(Report(0)), ExpectedReport("", true));
}

TEST(Report, FailureIsHeadingLabelAndDetail) {
    EXPECT_EQ(Pieces(Report(static_cast<ResultCode>(0x8010001D))),
              ExpectedReport(" Le gestionnaire de ressources smart carte n est pas en cours d exécution\r\n", false));
    EXPECT_EQ(Pieces(Report(5)), ExpectedReport(" Inconnu - 5\r\n", false));
}

// The detail lives inside the report: a copy must carry its own text, not point into the original.
TEST(Report, CopiesOwnTheirDetailText) {
    std::vector<Report> reports;
    for (ResultCode code : {5, 6, 7}) {
        reports.push_back(Report(code));
    }
    const Report copy = reports[1];
    reports.clear();
    EXPECT_EQ(Utf8(copy[2].text), " Inconnu - 6\r\n");
}

TEST(TextStyle, StyleSetsUseTheirOwnBitsAndReplaceRatherThanAdd) {
    EXPECT_EQ(TFontStyles().bits(), 0);
    EXPECT_EQ(TFontStyles(fsBold).bits(), 1);
    EXPECT_EQ(TFontStyles(fsItalic).bits(), 2);
    EXPECT_EQ(TFontStyles(fsUnderline).bits(), 4);
    EXPECT_EQ(TFontStyles(fsStrikeOut).bits(), 8);
    const TFontStyles boldUnderline = TFontStyles(fsBold) | fsUnderline;
    EXPECT_TRUE(boldUnderline.Contains(fsBold));
    EXPECT_TRUE(boldUnderline.Contains(fsUnderline));
    EXPECT_FALSE(boldUnderline.Contains(fsItalic));
}

TEST(TextStyle, ColoursAreRedInTheLowByteAndSystemColoursAreFlagged) {
    EXPECT_EQ(clRed, 0x0000FFu);
    EXPECT_EQ(clGreen, 0x008000u);
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clBlack));
    EXPECT_TRUE(IsSystemColor(clBtnShadow));
    EXPECT_EQ(SystemColorIndex(clWindow), 5);
    EXPECT_EQ(SystemColorIndex(clWindowText), 8);
    EXPECT_EQ(SystemColorIndex(clBtnShadow), 16);
    EXPECT_EQ(SystemColorIndex(clBtnHighlight), 20);
}

}  // namespace
}  // namespace orbelin
