// The report's pieces with their styles and colours.
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

}  // namespace
}  // namespace orbelin
