// Asks the system's own Authenticode verifier, WinVerifyTrust, about each file named on the command line,
// and prints one "0xRESULT chain=0xSTATUS PATH" line per file: a check of our signed releases by code nobody
// here wrote. STATUS is the error status of the signer's certificate chain as the verifier built it (0 when
// the verifier got no chain that far): what it knew of the chain's trust, whatever it answered.
#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

namespace {

// WinVerifyTrust keeps state between the verifying call and the closing one; this releases it.
class TrustCheck {
public:
    explicit TrustCheck(const wchar_t* path) {
        file_.cbStruct = sizeof(file_);
        file_.pcwszFilePath = path;
        data_.cbStruct = sizeof(data_);
        data_.dwUIChoice = WTD_UI_NONE;
        // The throw-away certificates have no revocation list, and a release check must not go online.
        data_.fdwRevocationChecks = WTD_REVOKE_NONE;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        result_ = Call();
    }
    ~TrustCheck() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        Call();
    }
    TrustCheck(const TrustCheck&) = delete;
    TrustCheck& operator=(const TrustCheck&) = delete;

    LONG result() const { return result_; }

    DWORD ChainStatus() const {
        CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data_.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        return signer && signer->pChainContext ? signer->pChainContext->TrustStatus.dwErrorStatus : 0;
    }

private:
    LONG Call() {
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        // INVALID_HANDLE_VALUE: there is no interactive user to ask.
        return WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
    }

    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG result_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const TrustCheck check(argv[i]);
        std::printf("0x%08lX chain=0x%08lX %ls\n", static_cast<unsigned long>(check.result()),
                    static_cast<unsigned long>(check.ChainStatus()), argv[i]);
    }
    return argc > 1 ? 0 : 2;
}
