// The check against Debian's real resource manager: this test starts pcscd itself, runs the check
// through pcsclite, stops pcscd and runs it again.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "scard/pcsclite_manager.h"
#include "scard/service_check.h"
#include "support/recording_writer.h"

namespace orbelin {
namespace {

using test_support::ExpectedReport;
using test_support::RecordingWriter;

constexpr const char* kSocketPath = "/run/pcscd/pcscd.comm";  // fixed when pcsclite was built

bool SocketAccepts() {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", kSocketPath);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

template <class Condition>
bool PollFor(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// On CI pcscd is installed, so a skip there would hide a broken set-up: fail instead.
#define SKIP_OR_FAIL(why)                                    \
    do {                                                     \
        if (const char* ci = std::getenv("CI"); ci && *ci) { \
            FAIL() << why;                                   \
        }                                                    \
        GTEST_SKIP() << why;                                 \
    } while (false)

class RealPcscd : public ::testing::Test {
protected:
    void SetUp() override {
        if (access("/usr/sbin/pcscd", X_OK) != 0) {
            SKIP_OR_FAIL("pcscd is not installed (Debian package pcscd)");
        }
        if (SocketAccepts()) {
            SKIP_OR_FAIL("another pcscd already serves " << kSocketPath << "; stop it to run this test");
        }
        daemon_ = fork();
        if (daemon_ == 0) {
            const char* log = "pcscd_test.log";
            freopen(log, "w", stdout);
            freopen(log, "a", stderr);
            execl("/usr/sbin/pcscd", "pcscd", "--foreground", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (!PollFor(SocketAccepts, std::chrono::seconds(10))) {
            StopDaemon();
            SKIP_OR_FAIL("pcscd did not open " << kSocketPath << " within 10 s (are we root? see pcscd_test.log)");
        }
    }

    void TearDown() override { StopDaemon(); }

    void StopDaemon() {
        if (daemon_ > 0) {
            kill(daemon_, SIGTERM);
            int status = 0;
            waitpid(daemon_, &status, 0);
            daemon_ = -1;
        }
    }

    pid_t daemon_ = -1;
};

TEST_F(RealPcscd, ConnectsWhileRunningAndReportsNoServiceOnceStopped) {
    PcscLiteManager manager;
    RecordingWriter running;
    RunServiceCheck(manager, running);
    EXPECT_EQ(running.pieces, ExpectedReport("", true));

    StopDaemon();
    ASSERT_FALSE(SocketAccepts());
    RecordingWriter stopped;
    RunServiceCheck(manager, stopped);
    EXPECT_EQ(stopped.pieces,
              ExpectedReport(" Le gestionnaire de ressources smart carte n est pas en cours d exécution\r\n", false));
}

// The raw platform code, to show that the 64-bit LONG of pcsclite reaches us as the signed 32-bit code.
TEST_F(RealPcscd, StoppedServiceCodeReadsAsNegative32BitValue) {
    StopDaemon();
    PcscLiteManager manager;
    ContextHandle context = 0;
    EXPECT_EQ(manager.EstablishUserContext(context), -2146435043);
}

}  // namespace
}  // namespace orbelin
