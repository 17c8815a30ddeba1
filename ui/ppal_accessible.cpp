// fiche_ppal's IAccessible. Its own elements (the painted headings and buttons, the links, the
// announcement) answer from the window description, the buttons' pointer state and the latest report;
// questions about the window itself go to the system's standard client object, and questions about
// the pane to the pane's own object.
#include "ui/ppal_accessible.h"

#include <new>

#include "ui/ppal.h"
#include "ui/win32/rect.h"
#include "ui/win32/wide.h"

namespace orbelin {
namespace {

void SetChildId(VARIANT* out, ChildId child) {
    out->vt = VT_I4;
    out->lVal = child;
}

VARIANT SelfVariant() {
    VARIANT self = {};
    SetChildId(&self, CHILDID_SELF);
    return self;
}

LONG RoleConstant(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::Link:
            return ROLE_SYSTEM_LINK;
        default:
            return ROLE_SYSTEM_STATICTEXT;
    }
}

}  // namespace

AccessibleFichePpal* AccessibleFichePpal::Create(const Tfiche_ppal& window, const win32::AccessibilityApi& api) {
    IAccessible* standard = nullptr;
    if (FAILED(api.StandardClient(window.handle(), &standard))) {
        return nullptr;
    }
    // From the process heap: the C++ runtime's operator new would bring its exception support along.
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(AccessibleFichePpal));
    if (memory == nullptr) {
        standard->Release();
        return nullptr;
    }
    return new (memory) AccessibleFichePpal(window, api, standard);
}

AccessibleFichePpal::AccessibleFichePpal(const Tfiche_ppal& window,
                                         const win32::AccessibilityApi& api,
                                         IAccessible* standard)
    : window_(&window), api_(api), standard_(standard) {}

void AccessibleFichePpal::Disconnect() {
    window_ = nullptr;
    standard_.reset();
}

HRESULT AccessibleFichePpal::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleFichePpal::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG AccessibleFichePpal::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        this->~AccessibleFichePpal();
        HeapFree(GetProcessHeap(), 0, this);
    }
    return static_cast<ULONG>(left);
}

HRESULT AccessibleFichePpal::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT AccessibleFichePpal::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT AccessibleFichePpal::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT AccessibleFichePpal::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

bool AccessibleFichePpal::Target::own() const {
    return announcement || (control && RoleOf(*control) != AccessibleRole::Window);
}

AccessibleRole AccessibleFichePpal::Target::role() const {
    return control ? RoleOf(*control) : AccessibleRole::StaticText;
}

AccessibleFichePpal::Target AccessibleFichePpal::Resolve(const VARIANT& child) const {
    if (window_ == nullptr) {
        return {.status = CO_E_OBJNOTCONNECTED};
    }
    if (child.vt != VT_I4) {
        return {.status = E_INVALIDARG};
    }
    if (child.lVal == CHILDID_SELF) {
        return {};
    }
    if (child.lVal == kAnnouncementChild) {
        return {.announcement = true};
    }
    const std::optional<ControlId> control = ControlForChild(child.lVal);
    return control ? Target{.control = control} : Target{.status = E_INVALIDARG};
}

win32::UniqueCom<IAccessible> AccessibleFichePpal::ChildWindowObject(ControlId id) const {
    IDispatch* dispatch = nullptr;
    if (FAILED(api_.WindowObject(window_->ChildWindow(id), &dispatch)) || dispatch == nullptr) {
        return {};
    }
    const win32::UniqueCom<IDispatch> owned(dispatch);
    IAccessible* object = nullptr;
    dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
    return win32::UniqueCom<IAccessible>(object);
}

template <class... Args>
HRESULT AccessibleFichePpal::AskChildWindow(ControlId id,
                                            HRESULT (STDMETHODCALLTYPE IAccessible::*question)(VARIANT, Args...),
                                            std::type_identity_t<Args>... args) const {
    const win32::UniqueCom<IAccessible> object = ChildWindowObject(id);
    return object ? (object.get()->*question)(SelfVariant(), args...) : E_FAIL;
}

void AccessibleFichePpal::ElementVariant(ChildId child, VARIANT* out) const {
    const std::optional<ControlId> control = ControlForChild(child);
    if (control && RoleOf(*control) == AccessibleRole::Window) {
        IDispatch* object = nullptr;
        if (SUCCEEDED(api_.WindowObject(window_->ChildWindow(*control), &object)) && object != nullptr) {
            out->vt = VT_DISPATCH;
            out->pdispVal = object;
            return;
        }
    }
    SetChildId(out, child);
}

HRESULT AccessibleFichePpal::String(std::u16string_view text, BSTR* out) const {
    *out = api_.AllocString(win32::Wide(text), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleFichePpal::get_accParent(IDispatch** parent) {
    return window_ ? standard_.get()->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleFichePpal::get_accChildCount(long* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = kAccessibleChildCount;
    return window_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleFichePpal::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const Target target = Resolve(child);
    if (FAILED(target.status) || target.self()) {
        return FAILED(target.status) ? target.status : E_INVALIDARG;
    }
    if (target.own()) {
        return S_FALSE;  // a simple element: the caller keeps using its child id
    }
    return api_.WindowObject(window_->ChildWindow(*target.control), object);
}

// Of the texts, the window's own elements have a name, and the buttons and links a default action:
// no value, description, help or shortcut, since no key presses a button or opens a link.
HRESULT AccessibleFichePpal::Text(VARIANT child, BSTR* out, TextQuestion question) const {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return (standard_.get()->*question)(child, out);
    }
    if (!target.own()) {
        return AskChildWindow(*target.control, question, out);
    }
    if (question == &IAccessible::get_accName) {
        if (target.announcement) {
            const std::u16string_view report = window_->LastReport();
            return report.empty() ? S_FALSE : String(report, out);  // no check has run yet
        }
        return String(AccessibleName(kFichePpal.Control(*target.control)), out);
    }
    const std::u16string_view action = DefaultActionName(target.role());
    if (question == &IAccessible::get_accDefaultAction && !action.empty()) {
        return String(action, out);
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleFichePpal::get_accName(VARIANT child, BSTR* name) {
    return Text(child, name, &IAccessible::get_accName);
}

HRESULT AccessibleFichePpal::get_accValue(VARIANT child, BSTR* value) {
    return Text(child, value, &IAccessible::get_accValue);
}

HRESULT AccessibleFichePpal::get_accDescription(VARIANT child, BSTR* description) {
    return Text(child, description, &IAccessible::get_accDescription);
}

HRESULT AccessibleFichePpal::get_accHelp(VARIANT child, BSTR* help) {
    return Text(child, help, &IAccessible::get_accHelp);
}

HRESULT AccessibleFichePpal::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Text(child, shortcut, &IAccessible::get_accKeyboardShortcut);
}

HRESULT AccessibleFichePpal::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Text(child, action, &IAccessible::get_accDefaultAction);
}

HRESULT AccessibleFichePpal::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) {
        return E_POINTER;
    }
    role->vt = VT_EMPTY;
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return standard_.get()->get_accRole(child, role);
    }
    if (target.own()) {
        SetChildId(role, RoleConstant(target.role()));
        return S_OK;
    }
    return AskChildWindow(*target.control, &IAccessible::get_accRole, role);
}

// Headings and the announcement are read-only text; a flat button is hot while the pointer is over it
// and pressed while the left button is held on it; a link is linked. None is focusable, since none
// takes the focus: the buttons never do, and the links are not tab stops.
HRESULT AccessibleFichePpal::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    state->vt = VT_EMPTY;
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return standard_.get()->get_accState(child, state);
    }
    if (!target.own()) {
        return AskChildWindow(*target.control, &IAccessible::get_accState, state);
    }
    LONG bits = 0;
    if (target.role() == AccessibleRole::StaticText) {
        bits = STATE_SYSTEM_READONLY;
    } else if (target.role() == AccessibleRole::Link) {
        bits = STATE_SYSTEM_LINKED;
    } else {
        const ButtonStates states = StatesFor(window_->ButtonState(*target.control).Look());
        bits = (states.hot ? STATE_SYSTEM_HOTTRACKED : 0) | (states.pressed ? STATE_SYSTEM_PRESSED : 0);
    }
    if (!IsWindowVisible(window_->handle()) || IsIconic(window_->handle())) {
        bits |= STATE_SYSTEM_INVISIBLE;
    }
    SetChildId(state, bits);
    return S_OK;
}

HRESULT AccessibleFichePpal::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (file == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *file = nullptr;
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    return target.self() ? standard_.get()->get_accHelpTopic(file, child, topic) : DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleFichePpal::get_accFocus(VARIANT* focus) {
    return window_ ? standard_.get()->get_accFocus(focus) : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleFichePpal::get_accSelection(VARIANT* selection) {
    return window_ ? standard_.get()->get_accSelection(selection) : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleFichePpal::accSelect(long flags, VARIANT child) {
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return standard_.get()->accSelect(flags, child);
    }
    if (target.own()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    const win32::UniqueCom<IAccessible> object = ChildWindowObject(*target.control);
    return object ? object.get()->accSelect(flags, SelfVariant()) : E_FAIL;
}

HRESULT AccessibleFichePpal::accDoDefaultAction(VARIANT child) {
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return standard_.get()->accDoDefaultAction(child);
    }
    if (!target.own()) {
        return AskChildWindow(*target.control, &IAccessible::accDoDefaultAction);
    }
    if (DefaultActionName(target.role()).empty()) {  // the headings and the announcement
        return DISP_E_MEMBERNOTFOUND;
    }
    // The caller, often a screen reader in another process, does not wait for the check or the quit:
    // the click runs from the window's message loop, once for this call.
    window_->RequestClick(*target.control);
    return S_OK;
}

HRESULT AccessibleFichePpal::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    const Target target = Resolve(child);
    if (FAILED(target.status)) {
        return target.status;
    }
    if (target.self()) {
        return standard_.get()->accLocation(left, top, width, height, child);
    }
    // A link or the pane is where its window is; the announcement is where the pane shows the report.
    RECT area = {};
    const HWND childWindow = window_->ChildWindow(target.control.value_or(ControlId::reponse1));
    if (childWindow != nullptr) {
        GetWindowRect(childWindow, &area);
    } else {
        area = win32::ToRect(window_->Bounds(*target.control));
        MapWindowPoints(window_->handle(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    *left = area.left;
    *top = area.top;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
}

// The window's own first and last children, and next and previous among its children, follow the
// reading order; every other move is the standard client object's.
HRESULT AccessibleFichePpal::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) {
        return E_POINTER;
    }
    end->vt = VT_EMPTY;
    const Target target = Resolve(start);
    if (FAILED(target.status)) {
        return target.status;
    }
    ChildId to = kSelf;
    if (target.self()) {
        if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
            return standard_.get()->accNavigate(direction, start, end);
        }
        to = direction == NAVDIR_FIRSTCHILD ? 1 : kAccessibleChildCount;
    } else if (!target.announcement && (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)) {
        to = start.lVal + (direction == NAVDIR_NEXT ? 1 : -1);
    }
    if (!ControlForChild(to)) {
        return S_FALSE;  // nothing that way
    }
    ElementVariant(to, end);
    return S_OK;
}

HRESULT AccessibleFichePpal::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    child->vt = VT_EMPTY;
    if (window_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    POINT at = {x, y};
    ScreenToClient(window_->handle(), &at);
    RECT client = {};
    GetClientRect(window_->handle(), &client);
    if (!PtInRect(&client, at)) {
        return S_FALSE;
    }
    Rect bounds[kReadingOrder.size()];
    for (std::size_t i = 0; i < kReadingOrder.size(); ++i) {
        bounds[i] = window_->Bounds(kReadingOrder[i]);
    }
    ElementVariant(ChildAt({at.x, at.y}, bounds), child);
    return S_OK;
}

HRESULT AccessibleFichePpal::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT AccessibleFichePpal::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

// Tfiche_ppal's side: the object is made on the first request for it, and cut off from its clients
// when the window goes, since a screen reader in another process may still hold it.

bool Tfiche_ppal::PrepareAccessibility() {
    // Once the window is being destroyed nothing is made: an object made now would point at a window
    // that is about to go, and nothing would cut it off.
    if (destroying_ || !accessibility_.Load()) {
        return false;
    }
    announcementLiveRegion_.MarkPolite(handle(), kAnnouncementChild);
    return true;
}

LRESULT Tfiche_ppal::ClientObject(WPARAM wparam, LPARAM lparam) {
    // The object id arrives as a 32-bit value, sign-extended or not depending on the sender.
    if (static_cast<DWORD>(lparam) != static_cast<DWORD>(OBJID_CLIENT) || !PrepareAccessibility()) {
        return 0;
    }
    if (!accessible_) {
        accessible_.reset(AccessibleFichePpal::Create(*this, accessibility_));
    }
    return accessible_ ? accessibility_.ResultFromObject(accessible_.get(), wparam) : 0;
}

LRESULT Tfiche_ppal::OnGetObject(WPARAM wparam, LPARAM lparam) {
    const LRESULT object = ClientObject(wparam, lparam);
    return object != 0 ? object : DefWindowProcW(handle(), WM_GETOBJECT, wparam, lparam);
}

void Tfiche_ppal::DisconnectAccessibility() {
    if (accessible_) {
        accessible_.get()->Disconnect();
        CoDisconnectObject(accessible_.get(), 0);
        accessible_.reset();
    }
    announcementLiveRegion_.Clear();
}

void Tfiche_ppal::RequestClick(ControlId id) const {
    PostMessageW(handle(), kRequestedClick, static_cast<WPARAM>(id), 0);
}

// Only what a click reaches: a button or a link, never a heading, the frame or the pane.
void Tfiche_ppal::OnRequestedClick(WPARAM control) {
    if (control < kControlCount && !DefaultActionName(RoleOf(static_cast<ControlId>(control))).empty()) {
        RunClick(static_cast<ControlId>(control));
    }
}

}  // namespace orbelin
