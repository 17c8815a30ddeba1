// pcsclite binding of the resource-manager seam. pcsclite's LONG and SCARDCONTEXT are `long`, 64 bits
// on x86-64, which is why the result goes through ResultCodeFromPlatform.
#include "scard/pcsclite_manager.h"

#include <winscard.h>

namespace orbelin {

ResultCode PcscLiteManager::EstablishUserContext(ContextHandle& context) {
    SCARDCONTEXT handle = 0;
    const LONG result = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &handle);
    context = static_cast<ContextHandle>(handle);
    return ResultCodeFromPlatform(result);
}

void PcscLiteManager::ReleaseContext(ContextHandle context) {
    SCardReleaseContext(static_cast<SCARDCONTEXT>(context));
}

}  // namespace orbelin
