// The check's resource-manager seam bound to Windows' winscard.dll (linked at load time).
#pragma once

#include "scard/service_check.h"

namespace orbelin {

class WinSCardManager {
public:
    ResultCode EstablishUserContext(ContextHandle& context);
    void ReleaseContext(ContextHandle context);
};

}  // namespace orbelin
