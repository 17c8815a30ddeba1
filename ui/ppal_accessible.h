// fiche_ppal as Active Accessibility clients (screen readers, magnifiers) see it: the painted
// headings and flat buttons and the two links as simple elements with their roles, names, places,
// states and default actions, and the pane as its own window's object, in reading order; beside them,
// the latest report, which the live-region event names. The window's standard client object answers
// for the window itself.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <type_traits>

#include "ui/accessible_tree.h"
#include "ui/win32/accessibility_api.h"
#include "ui/win32/handles.h"

namespace orbelin {

class Tfiche_ppal;

class AccessibleFichePpal final : public IAccessible {
public:
    // With one reference, for the caller; null when the standard client object cannot be had.
    static AccessibleFichePpal* Create(const Tfiche_ppal& window, const win32::AccessibilityApi& api);

    // The window is going: every later call fails as disconnected, whoever still holds the object.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: no type information; clients call through the vtable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

private:
    AccessibleFichePpal(const Tfiche_ppal& window, const win32::AccessibilityApi& api, IAccessible* standard);
    ~AccessibleFichePpal() = default;

    // Which element a call is about: the window itself, one of its own elements (a control answered
    // for here, or the announcement), or the pane, which answers for itself.
    struct Target {
        HRESULT status = S_OK;
        std::optional<ControlId> control;
        bool announcement = false;
        bool self() const { return !control && !announcement; }
        bool own() const;
        AccessibleRole role() const;
    };
    Target Resolve(const VARIANT& child) const;

    // A child window's own object, and the same question put to it about itself.
    win32::UniqueCom<IAccessible> ChildWindowObject(ControlId id) const;
    template <class... Args>
    HRESULT AskChildWindow(ControlId id,
                           HRESULT (STDMETHODCALLTYPE IAccessible::*question)(VARIANT, Args...),
                           std::type_identity_t<Args>... args) const;
    // The element as a client is handed it: a child id, or a child window's object.
    void ElementVariant(ChildId child, VARIANT* out) const;
    HRESULT String(std::u16string_view text, BSTR* out) const;
    using TextQuestion = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT Text(VARIANT child, BSTR* out, TextQuestion question) const;

    const Tfiche_ppal* window_;
    const win32::AccessibilityApi& api_;
    win32::UniqueCom<IAccessible> standard_;
    LONG references_ = 1;
};

}  // namespace orbelin
