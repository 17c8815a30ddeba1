// The check over a scripted resource manager: what it appends, and when it releases the context.
#include "scard/service_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/recording_writer.h"

namespace orbelin {
namespace {

using test_support::ExpectedReport;
using test_support::RecordingWriter;

constexpr ContextHandle kGivenHandle = 0xC0FFEE;

// Answers with a chosen code, hands out kGivenHandle on success, and records what it was asked.
struct ScriptedManager {
    ResultCode answer = kScardSuccess;
    int establishCalls = 0;
    ContextHandle contextBeforeEstablish = 1;
    std::vector<ContextHandle> released;
    RecordingWriter* writer = nullptr;
    std::size_t piecesWrittenAtRelease = 0;

    ResultCode EstablishUserContext(ContextHandle& context) {
        ++establishCalls;
        contextBeforeEstablish = context;
        if (answer == kScardSuccess) {
            context = kGivenHandle;
        }
        return answer;
    }
    void ReleaseContext(ContextHandle context) {
        released.push_back(context);
        piecesWrittenAtRelease = writer ? writer->pieces.size() : 0;
    }
};

TEST(ServiceCheck, SuccessReportsThenReleasesTheHandleOnce) {
    ScriptedManager manager;
    RecordingWriter writer;
    manager.writer = &writer;
    RunServiceCheck(manager, writer);

    EXPECT_EQ(writer.pieces, ExpectedReport("", true));
    EXPECT_EQ(manager.establishCalls, 1);
    EXPECT_EQ(manager.contextBeforeEstablish, 0u);
    EXPECT_EQ(manager.released, std::vector<ContextHandle>{kGivenHandle});
    EXPECT_EQ(manager.piecesWrittenAtRelease, 1u);
}

TEST(ServiceCheck, FailureReportsAndNeverReleases) {
    struct Case {
        std::uint32_t code;
        const char* detail;
    };
    const Case cases[] = {
        {0x8010001D, " Le gestionnaire de ressources smart carte n est pas en cours d exécution\r\n"},
        {0x80100001, " Une case activée de cohérence interne a échoué\r\n"},
        {0x8007006D, " Inconnu - -2147024787\r\n"},
        {5, " Inconnu - 5\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ScriptedManager manager;
        manager.answer = static_cast<ResultCode>(c.code);
        RecordingWriter writer;
        RunServiceCheck(manager, writer);
        EXPECT_EQ(writer.pieces, ExpectedReport(c.detail, false));
        EXPECT_EQ(manager.establishCalls, 1);
        EXPECT_TRUE(manager.released.empty());
    }
}

TEST(ServiceCheck, RunsTwiceAppendTwoCompleteReports) {
    ScriptedManager manager;
    RecordingWriter writer;
    RunServiceCheck(manager, writer);
    manager.answer = static_cast<ResultCode>(0x8010001D);
    RunServiceCheck(manager, writer);

    ASSERT_EQ(writer.pieces.size(), 4u);
    EXPECT_EQ(writer.pieces[0].text, "Connecté au service\r\n");
    EXPECT_EQ(writer.pieces[1].text, "Erreur durant la connexion au service\r\n");
    EXPECT_EQ(manager.released.size(), 1u);
}

}  // namespace
}  // namespace orbelin
