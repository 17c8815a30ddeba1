// Drives the recording winscard.dll double from inside a Windows test: choose its answers, read
// back the calls it recorded.
#pragma once

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace test_support {

struct RecordedCall {
    std::string kind;  // "establish" or "release"
    unsigned long scope = 0;
    unsigned long long reserved1 = 0, reserved2 = 0, contextIn = 0, context = 0;
    unsigned long result = 0;
};

class FakeWinscard {
public:
    FakeWinscard() {
        wchar_t directory[MAX_PATH];
        GetTempPathW(MAX_PATH, directory);
        GetTempFileNameW(directory, L"fws", 0, log_);
        SetEnvironmentVariableW(L"FAKE_WINSCARD_LOG", log_);
    }
    ~FakeWinscard() {
        SetEnvironmentVariableW(L"FAKE_WINSCARD_LOG", nullptr);
        SetEnvironmentVariableW(L"FAKE_WINSCARD_RESULTS", nullptr);
        DeleteFileW(log_);
    }
    FakeWinscard(const FakeWinscard&) = delete;
    FakeWinscard& operator=(const FakeWinscard&) = delete;

    // Hex codes for the coming establish calls, e.g. "0,8010001D"; the last one repeats.
    void Answer(const std::string& codes) { SetEnvironmentVariableA("FAKE_WINSCARD_RESULTS", codes.c_str()); }

    std::vector<RecordedCall> Calls() const {
        std::vector<RecordedCall> calls;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);) {
            RecordedCall call;
            char kind[16] = "";
            if (std::sscanf(line.c_str(),
                            "%15s scope=%lu reserved1=%llx reserved2=%llx context_in=%llx result=%lx context=%llx",
                            kind, &call.scope, &call.reserved1, &call.reserved2, &call.contextIn, &call.result,
                            &call.context) >= 1) {
                call.kind = kind;
                if (call.kind == "release") {
                    std::sscanf(line.c_str(), "release context=%llx", &call.context);
                }
                calls.push_back(call);
            }
        }
        return calls;
    }

private:
    wchar_t log_[MAX_PATH] = L"";
};

}  // namespace test_support
