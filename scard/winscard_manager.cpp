// Windows binding of the resource-manager seam.
#include "scard/winscard_manager.h"

#include <windows.h>
#include <winscard.h>

namespace orbelin {

static_assert(sizeof(SCARDCONTEXT) == sizeof(ContextHandle), "a context handle must round-trip unchanged");

ResultCode WinSCardManager::EstablishUserContext(ContextHandle& context) {
    SCARDCONTEXT handle = 0;
    const LONG result = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &handle);
    context = handle;
    return ResultCodeFromPlatform(result);
}

void WinSCardManager::ReleaseContext(ContextHandle context) {
    SCardReleaseContext(context);  // nothing useful can be done if releasing fails
}

}  // namespace orbelin
