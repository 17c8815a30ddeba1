// fiche_ppal's IAccessible. Painted elements answer from the window description and the buttons'
// pointer state; questions about the window itself go to the system's standard client object, and
// questions about a child window to that window's own object.
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
    return role == AccessibleRole::PushButton ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_STATICTEXT;
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

bool AccessibleFichePpal::Target::painted() const {
    return control && RoleOf(*control) != AccessibleRole::Window;
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
    if (target.painted()) {
        return S_FALSE;  // a simple element: the caller keeps using its child id
    }
    return api_.WindowObject(window_->ChildWindow(*target.control), object);
}

// Of the texts, painted elements have a name only: no value, description, help, shortcut or default
// action. The buttons are pressed with the mouse only; assistive technology does so by clicking
// where accLocation says.
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
    if (!target.painted()) {
        return AskChildWindow(*target.control, question, out);
    }
    return question == &IAccessible::get_accName ? String(AccessibleName(kFichePpal.Control(*target.control)), out)
                                                 : DISP_E_MEMBERNOTFOUND;
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
    if (target.painted()) {
        SetChildId(role, RoleConstant(RoleOf(*target.control)));
        return S_OK;
    }
    return AskChildWindow(*target.control, &IAccessible::get_accRole, role);
}

// Headings are read-only text; a flat button is hot while the pointer is over it and pressed while
// the left button is held on it, and never focusable, since it never takes the focus.
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
    if (!target.painted()) {
        return AskChildWindow(*target.control, &IAccessible::get_accState, state);
    }
    LONG bits = 0;
    if (RoleOf(*target.control) == AccessibleRole::StaticText) {
        bits = STATE_SYSTEM_READONLY;
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
    if (target.painted()) {
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
    return target.painted() ? DISP_E_MEMBERNOTFOUND : AskChildWindow(*target.control, &IAccessible::accDoDefaultAction);
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
    RECT area = {};
    if (target.painted()) {
        area = win32::ToRect(window_->Bounds(*target.control));
        MapWindowPoints(window_->handle(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else {
        GetWindowRect(window_->ChildWindow(*target.control), &area);
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
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS) {
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
    if (!accessibility_.Load()) {
        return false;
    }
    paneLiveRegion_.MarkPolite(reponse1);
    return true;
}

LRESULT Tfiche_ppal::OnGetObject(WPARAM wparam, LPARAM lparam) {
    // The object id arrives as a 32-bit value, sign-extended or not depending on the sender.
    if (static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT) && PrepareAccessibility()) {
        if (!accessible_) {
            accessible_.reset(AccessibleFichePpal::Create(*this, accessibility_));
        }
        if (accessible_) {
            return accessibility_.ResultFromObject(accessible_.get(), wparam);
        }
    }
    return DefWindowProcW(handle(), WM_GETOBJECT, wparam, lparam);
}

void Tfiche_ppal::DisconnectAccessibility() {
    if (accessible_) {
        accessible_.get()->Disconnect();
        CoDisconnectObject(accessible_.get(), 0);
        accessible_.reset();
    }
    paneLiveRegion_.Clear();
}

}  // namespace orbelin
