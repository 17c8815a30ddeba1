// Reads the running program from another process through Active Accessibility, with the calls a
// screen reader makes (AccessibleObjectFromWindow, AccessibleChildren, accLocation, accHitTest,
// AccessibleObjectFromPoint), runs an element's default action, listens for its live-region events
// with an out-of-context hook, and lists the modules its process has loaded.
#include "probe_accessible.h"

#include <windows.h>

#include <oleacc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "probe_facts.h"

namespace {

using test_support::Escaped;
using test_support::Facts;
using test_support::Narrow;

// Releases a COM reference at the end of a scope.
template <class Interface>
class Ref {
public:
    Ref() = default;
    explicit Ref(Interface* object) : object_(object) {}
    ~Ref() {
        if (object_) {
            object_->Release();
        }
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Interface* get() const { return object_; }
    Interface** out() { return &object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    Interface* object_ = nullptr;
};

class Apartment {
public:
    Apartment() { CoInitialize(nullptr); }
    ~Apartment() { CoUninitialize(); }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
};

HWND MainWindow() {
    return FindWindowW(L"Tfiche_ppal", nullptr);
}

VARIANT Child(LONG id) {
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::string Hex(long value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%lx", static_cast<unsigned long>(value));
    return buffer;
}

std::string ClassName(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return Narrow(name);
}

std::string Name(IAccessible* object, LONG child) {
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(Child(child), &name);
    if (result != S_OK || name == nullptr) {
        return "<" + Hex(result) + ">";
    }
    std::string text = Escaped(std::wstring(name, SysStringLen(name)));
    SysFreeString(name);
    return text;
}

std::string IntProperty(IAccessible* object,
                        LONG child,
                        HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*)) {
    VARIANT value = {};
    const HRESULT result = (object->*property)(Child(child), &value);
    if (result != S_OK || value.vt != VT_I4) {
        VariantClear(&value);
        return "<" + Hex(result) + ">";
    }
    return Hex(value.lVal);
}

// The text, or "<HRESULT>" when there is none.
std::string TextProperty(IAccessible* object,
                         LONG child,
                         HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    const HRESULT result = (object->*property)(Child(child), &text);
    std::string found =
        result == S_OK && text ? Escaped(std::wstring(text, SysStringLen(text))) : "<" + Hex(result) + ">";
    SysFreeString(text);
    return found;
}

// accLocation's rectangle, in the main window's client coordinates, as left,top,width,height.
std::string Location(IAccessible* object, LONG child, HWND window) {
    long left = 0, top = 0, width = 0, height = 0;
    const HRESULT result = object->accLocation(&left, &top, &width, &height, Child(child));
    if (result != S_OK) {
        return "<" + Hex(result) + ">";
    }
    POINT at = {left, top};
    ScreenToClient(window, &at);
    return std::to_string(at.x) + "," + std::to_string(at.y) + "," + std::to_string(width) + "," +
           std::to_string(height);
}

// What a client was handed: "child:N", "self", "window:CLASS" for a child window's object, or "none".
std::string Element(VARIANT& value) {
    std::string found = "none";
    if (value.vt == VT_I4) {
        found = value.lVal == CHILDID_SELF ? "self" : "child:" + std::to_string(value.lVal);
    } else if (value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
        HWND window = nullptr;
        Ref<IAccessible> object;
        // __uuidof rather than IID_IAccessible: MinGW-w64's 64-bit liboleacc.a defines that symbol as an
        // import thunk, whose address is code, not the interface's GUID.
        if (SUCCEEDED(value.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(object.out())))) {
            WindowFromAccessibleObject(object.get(), &window);
        }
        found = "window:" + (window ? ClassName(window) : std::string("?"));
    }
    VariantClear(&value);
    return found;
}

void DescribeChildren(IAccessible* client, HWND window, Facts& facts) {
    long count = 0;
    facts.Add("ax_count_result", Hex(client->get_accChildCount(&count)));
    facts.Add("ax_count", count);
    std::vector<VARIANT> children(static_cast<std::size_t>(std::max(count, 0L)));
    long got = 0;
    facts.Add("ax_children_result", Hex(AccessibleChildren(client, 0, count, children.data(), &got)));
    facts.Add("ax_children", got);
    for (long i = 0; i < got; ++i) {
        const std::string key = "ax" + std::to_string(i);
        const LONG id = i + 1;
        facts.Add(key, Element(children[static_cast<std::size_t>(i)]));
        facts.Add(key + ".name", Name(client, id));
        facts.Add(key + ".role", IntProperty(client, id, &IAccessible::get_accRole));
        facts.Add(key + ".state", IntProperty(client, id, &IAccessible::get_accState));
        facts.Add(key + ".location", Location(client, id, window));
        facts.Add(key + ".default_action", TextProperty(client, id, &IAccessible::get_accDefaultAction));
        facts.Add(key + ".shortcut", TextProperty(client, id, &IAccessible::get_accKeyboardShortcut));
    }
}

void DescribePoint(IAccessible* client, HWND window, const std::string& key, const wchar_t* point, Facts& facts) {
    POINT at = {};
    if (swscanf(point, L"%ld,%ld", &at.x, &at.y) != 2) {
        facts.Add(key, "<bad point>");
        return;
    }
    ClientToScreen(window, &at);
    VARIANT hit = {};
    const HRESULT result = client->accHitTest(at.x, at.y, &hit);
    facts.Add(key + ".hit", result == S_OK ? Element(hit) : "<" + Hex(result) + ">");

    Ref<IAccessible> object;
    VARIANT child = {};
    const HRESULT found = AccessibleObjectFromPoint(at, object.out(), &child);
    std::string from_point = "<" + Hex(found) + ">";
    if (found == S_OK && object) {
        HWND owner = nullptr;
        WindowFromAccessibleObject(object.get(), &owner);
        const long id = child.vt == VT_I4 ? child.lVal : -1;
        from_point = ClassName(owner) + ":" + std::to_string(id) + ":" + Name(object.get(), id);
    }
    VariantClear(&child);
    facts.Add(key + ".from_point", from_point);
}

}  // namespace

int WriteAccessible(const std::wstring& out, int count, wchar_t** points) {
    const Apartment apartment;
    Facts facts;
    const HWND window = MainWindow();
    Ref<IAccessible> client;
    const HRESULT result =
        window ? AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(client.out()))
               : E_HANDLE;
    facts.Add("ax_result", Hex(result));
    if (client) {
        facts.Add("ax_self.name", Name(client.get(), CHILDID_SELF));
        facts.Add("ax_self.role", IntProperty(client.get(), CHILDID_SELF, &IAccessible::get_accRole));
        DescribeChildren(client.get(), window, facts);
        for (int i = 0; i < count; ++i) {
            DescribePoint(client.get(), window, "point" + std::to_string(i), points[i], facts);
        }
    }
    return facts.WriteTo(out) ? 0 : 2;
}

namespace {

// The element a screen reader would act on: the main window's child CHILD as AccessibleChildren lists
// it, or what AccessibleObjectFromPoint finds at a client point.
struct Found {
    Ref<IAccessible> object;
    LONG child = CHILDID_SELF;
    HRESULT result = E_FAIL;
};

void FindInTree(HWND window, LONG wanted, Found& found) {
    Ref<IAccessible> client;
    found.result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(client.out()));
    long count = 0;
    if (!client || FAILED(client.get()->get_accChildCount(&count)) || wanted < 1 || wanted > count) {
        found.result = FAILED(found.result) ? found.result : E_INVALIDARG;
        return;
    }
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    found.result = AccessibleChildren(client.get(), 0, count, children.data(), &got);
    if (wanted <= got && children[wanted - 1].vt == VT_I4) {
        found.child = children[wanted - 1].lVal;
        client.get()->AddRef();
        *found.object.out() = client.get();
    } else {
        found.result = E_NOINTERFACE;  // a window's own object: not one of ours to act on here
    }
    for (long i = 0; i < got; ++i) {
        VariantClear(&children[static_cast<std::size_t>(i)]);
    }
}

void FindAtPoint(HWND window, const wchar_t* point, Found& found) {
    POINT at = {};
    if (swscanf(point, L"%ld,%ld", &at.x, &at.y) != 2) {
        found.result = E_INVALIDARG;
        return;
    }
    ClientToScreen(window, &at);
    VARIANT child = {};
    found.result = AccessibleObjectFromPoint(at, found.object.out(), &child);
    found.child = child.vt == VT_I4 ? child.lVal : -1;
    VariantClear(&child);
}

}  // namespace

int ActOn(const std::wstring& out, const std::wstring& how, const wchar_t* which) {
    const Apartment apartment;
    Facts facts;
    const HWND window = MainWindow();
    Found found;
    if (window && how == L"tree") {
        FindInTree(window, _wtoi(which), found);
    } else if (window && how == L"point") {
        FindAtPoint(window, which, found);
    }
    facts.Add("found", Hex(found.result));
    if (found.object) {
        HWND owner = nullptr;
        WindowFromAccessibleObject(found.object.get(), &owner);
        facts.Add("element", ClassName(owner) + ":" + std::to_string(found.child));
        facts.Add("name", Name(found.object.get(), found.child));
        facts.Add("action", TextProperty(found.object.get(), found.child, &IAccessible::get_accDefaultAction));
        facts.Add("done", Hex(found.object.get()->accDoDefaultAction(Child(found.child))));
    }
    return facts.WriteTo(out) ? 0 : 2;
}

namespace {

constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

// What the listener has heard so far, written again after each event.
struct Heard {
    std::wstring out;
    Facts facts;
    int events = 0;
};

Heard* g_heard = nullptr;

// Reads the source's name as the event arrives, as a screen reader does.
void CALLBACK OnLiveRegion(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    Heard& heard = *g_heard;
    const std::string key = "event" + std::to_string(heard.events++);
    heard.facts.Add(key, ClassName(window) + ":" + std::to_string(object) + ":" + std::to_string(child));
    Ref<IAccessible> source;
    VARIANT id = {};
    const HRESULT result = AccessibleObjectFromEvent(window, object, child, source.out(), &id);
    heard.facts.Add(key + ".name", result == S_OK && source ? Name(source.get(), id.vt == VT_I4 ? id.lVal : 0)
                                                            : "<" + Hex(result) + ">");
    VariantClear(&id);
    Facts now = heard.facts;
    now.Add("events", heard.events);
    now.WriteTo(heard.out);
}

}  // namespace

int Listen(const std::wstring& out) {
    const Apartment apartment;
    Heard heard = {.out = out};
    g_heard = &heard;
    DWORD pid = 0;
    if (const HWND window = MainWindow()) {
        GetWindowThreadProcessId(window, &pid);
    }
    const HWINEVENTHOOK hook = pid ? SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, OnLiveRegion, pid,
                                                     0, WINEVENT_OUTOFCONTEXT)
                                   : nullptr;
    Facts ready;
    ready.Add("hooked", hook ? 1 : 0);
    ready.WriteTo(out + L".ready");
    const std::wstring stop = out + L".stop";
    // Until the caller says stop, within bounds; whatever is queued by then is still heard.
    for (int i = 0; hook && i < 2400 && GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    if (hook) {
        UnhookWinEvent(hook);
    }
    heard.facts.Add("events", heard.events);
    heard.facts.Add("stopped", 1);
    g_heard = nullptr;
    return heard.facts.WriteTo(out) ? 0 : 2;
}

int WriteModules(const std::wstring& out) {
    Facts facts;
    DWORD pid = 0;
    if (const HWND window = MainWindow()) {
        GetWindowThreadProcessId(window, &pid);
    }
    std::string names;
    HANDLE snapshot = pid ? CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid) : INVALID_HANDLE_VALUE;
    if (snapshot != INVALID_HANDLE_VALUE) {
        MODULEENTRY32W entry = {.dwSize = sizeof entry};
        for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
            std::wstring name = entry.szModule;
            std::transform(name.begin(), name.end(), name.begin(), towlower);
            names += (names.empty() ? "" : ",") + Narrow(name);
        }
        CloseHandle(snapshot);
    }
    facts.Add("modules", names);
    return facts.WriteTo(out) ? 0 : 2;
}
