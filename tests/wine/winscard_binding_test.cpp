// The check linked against winscard.dll, under Wine with the recording double beside it: the report
// for each answer, and the calls the double saw.
#include <gtest/gtest.h>

#include "scard/service_check.h"
#include "scard/winscard_manager.h"
#include "support/fake_winscard.h"
#include "support/recording_writer.h"

namespace orbelin {
namespace {

using test_support::ExpectedReport;
using test_support::FakeWinscard;
using test_support::RecordingWriter;

TEST(WinscardBinding, ReportsEachAnswerAndReleasesOnlyAfterSuccess) {
    struct Case {
        const char* answer;
        bool success;
        const char* detail;
    };
    const Case cases[] = {
        {"0", true, ""},
        {"8010001D", false, " Le gestionnaire de ressources smart carte n est pas en cours d exécution\r\n"},
        {"6D", false,
         " Le client a tenté une opération de carte intelligente dans une session distante, telle qu’une session "
         "cliente s’exécutant sur un serveur Terminal Server, et le système d’exploitation utilisé ne prend pas en "
         "charge la redirection smart carte.\r\n"},
        {"5", false, " Inconnu - 5\r\n"},
        {"80000000", false, " Inconnu - -2147483648\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        FakeWinscard fake;
        fake.Answer(c.answer);
        WinSCardManager manager;
        RecordingWriter writer;
        RunServiceCheck(manager, writer);

        EXPECT_EQ(writer.pieces, ExpectedReport(c.detail, c.success));
        const auto calls = fake.Calls();
        ASSERT_EQ(calls.size(), c.success ? 2u : 1u);
        EXPECT_EQ(calls[0].kind, "establish");
        EXPECT_EQ(calls[0].scope, 0u);  // SCARD_SCOPE_USER
        EXPECT_EQ(calls[0].reserved1, 0u);
        EXPECT_EQ(calls[0].reserved2, 0u);
        EXPECT_EQ(calls[0].contextIn, 0u);
        if (c.success) {
            EXPECT_EQ(calls[1].kind, "release");
            EXPECT_NE(calls[0].context, 0u);
            EXPECT_EQ(calls[1].context, calls[0].context);
        }
    }
}

TEST(WinscardBinding, EachRunGetsItsOwnContext) {
    FakeWinscard fake;
    fake.Answer("0,8010002F,0");
    WinSCardManager manager;
    RecordingWriter writer;
    for (int run = 0; run < 3; ++run) {
        RunServiceCheck(manager, writer);
    }
    ASSERT_EQ(writer.pieces.size(), 5u);
    EXPECT_EQ(writer.pieces[3].text, " \tUne erreur de communication avec le carte intelligent a été détectée\r\n");
    const auto calls = fake.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1].context, calls[0].context);
    EXPECT_EQ(calls[2].kind, "establish");
    EXPECT_EQ(calls[3].kind, "establish");
    EXPECT_EQ(calls[4].context, calls[3].context);
    EXPECT_NE(calls[3].context, calls[0].context);
}

}  // namespace
}  // namespace orbelin
