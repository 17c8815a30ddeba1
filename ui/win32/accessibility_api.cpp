// Active Accessibility loaded on demand, and the live-region annotation of a window.
#include "ui/win32/accessibility_api.h"

#include "ui/win32/system_library.h"

namespace orbelin::win32 {
namespace {

// From the Windows SDK (oleacc.h / UIAutomationClient.h); spelt out here because this MinGW's
// headers declare them without definitions, and linking oleacc's import library would load it at start.
constexpr GUID kClsidAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIidAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLiveSettingPolite = 1;

}  // namespace

bool AccessibilityApi::Load() {
    if (!tried_) {
        tried_ = true;
        oleacc_ = LoadSystemLibrary(L"oleacc.dll");
        oleaut_ = LoadSystemLibrary(L"oleaut32.dll");
        resultFromObject_ = LibraryFunction<ResultFromObjectFunction>(oleacc_, "LresultFromObject");
        createStandard_ = LibraryFunction<CreateStandardFunction>(oleacc_, "CreateStdAccessibleObject");
        objectFromWindow_ = LibraryFunction<ObjectFromWindowFunction>(oleacc_, "AccessibleObjectFromWindow");
        allocString_ = LibraryFunction<AllocStringFunction>(oleaut_, "SysAllocStringLen");
    }
    return resultFromObject_ && createStandard_ && objectFromWindow_ && allocString_;
}

void LiveRegion::MarkPolite(HWND window, LONG child) {
    // Once per window: a client asks for the window's, the pane's and the links' objects again and
    // again, and where the service is missing, asking COM each time would only fail each time.
    if (window_ != nullptr) {
        return;
    }
    window_ = window;
    child_ = child;
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
        return;  // Windows 7 without its accessibility update, or no COM here: the pane is simply not live
    }
    services_.reset(services);
    VARIANT polite = {};
    polite.vt = VT_I4;
    polite.lVal = kLiveSettingPolite;
    services_.get()->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), child, kLiveSettingProperty, polite);
}

void LiveRegion::Clear() {
    if (services_) {
        MSAAPROPID property = kLiveSettingProperty;
        services_.get()->ClearHwndProps(window_, static_cast<DWORD>(OBJID_CLIENT), child_, &property, 1);
        services_.reset();
    }
    window_ = nullptr;
}

}  // namespace orbelin::win32
