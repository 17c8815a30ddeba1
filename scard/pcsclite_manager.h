// The check's resource-manager seam bound to pcsclite, so the check can meet a real pcscd on Linux.
#pragma once

#include "scard/service_check.h"

namespace orbelin {

class PcscLiteManager {
public:
    ResultCode EstablishUserContext(ContextHandle& context);
    void ReleaseContext(ContextHandle context);
};

}  // namespace orbelin
