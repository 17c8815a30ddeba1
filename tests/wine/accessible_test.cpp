// fiche_ppal as Active Accessibility clients see it, read in-process under Wine through oleacc.dll
// exactly as a screen reader would call it: the tree in reading order, names, roles, places at two
// densities, hit-testing, the flat buttons' states and the events that announce changes.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_winscard.h"
#include "ui/win32/handles.h"
#include "window_harness.h"

namespace orbelin {
namespace {

using test_support::FakeWinscard;
using test_support::WindowHarness;
using win32::UniqueCom;

constexpr LONG kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

VARIANT Child(LONG id) {
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// __uuidof rather than IID_IAccessible: MinGW-w64's 64-bit liboleacc.a defines that symbol as an import
// thunk, whose address is code, not the interface's GUID.
UniqueCom<IAccessible> ClientObject(HWND window) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    return UniqueCom<IAccessible>(object);
}

std::wstring Name(IAccessible* object, LONG child) {
    BSTR name = nullptr;
    if (object->get_accName(Child(child), &name) != S_OK || name == nullptr) {
        return L"<none>";
    }
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

LONG IntProperty(IAccessible* object,
                 LONG child,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*)) {
    VARIANT value = {};
    if ((object->*property)(Child(child), &value) != S_OK || value.vt != VT_I4) {
        return -1;
    }
    return value.lVal;
}

LONG Role(IAccessible* object, LONG child) {
    return IntProperty(object, child, &IAccessible::get_accRole);
}

LONG State(IAccessible* object, LONG child) {
    return IntProperty(object, child, &IAccessible::get_accState);
}

// Screen rectangles as left, top, width and height.
Rect Location(IAccessible* object, LONG child) {
    long left = 0, top = 0, width = 0, height = 0;
    if (object->accLocation(&left, &top, &width, &height, Child(child)) != S_OK) {
        return {-1, -1, -1, -1};
    }
    return {left, top, width, height};
}

Rect OnScreen(HWND window, Rect client) {
    POINT origin = {client.left, client.top};
    ClientToScreen(window, &origin);
    return {origin.x, origin.y, client.width, client.height};
}

// What a VARIANT a client was handed stands for: a child id, or the window whose object it is.
struct Element {
    LONG child = -1;
    HWND window = nullptr;
    bool operator==(const Element&) const = default;
};

Element ElementOf(VARIANT& value) {
    Element element;
    if (value.vt == VT_I4) {
        element.child = value.lVal;
    } else if (value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
        WindowFromAccessibleObject(reinterpret_cast<IAccessible*>(value.pdispVal), &element.window);
    }
    VariantClear(&value);
    return element;
}

void PrintTo(const Element& element, std::ostream* out) {
    *out << "{child " << element.child << ", window " << element.window << "}";
}

std::vector<Element> Children(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    AccessibleChildren(object, 0, count, children.data(), &got);
    std::vector<Element> elements;
    for (long i = 0; i < got; ++i) {
        elements.push_back(ElementOf(children[static_cast<std::size_t>(i)]));
    }
    return elements;
}

Element HitTest(IAccessible* object, POINT screen) {
    VARIANT hit = {};
    object->accHitTest(screen.x, screen.y, &hit);
    return ElementOf(hit);
}

POINT ScreenCentre(WindowHarness& harness, ControlId id) {
    POINT at = harness.Centre(id);
    ClientToScreen(harness.handle(), &at);
    return at;
}

TEST(Accessibility, TheTreeListsEveryElementInReadingOrder) {
    WindowHarness harness;
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    const Tfiche_ppal& w = harness.window();
    const std::vector<Element> expected = {{1, nullptr},      {2, nullptr}, {3, nullptr},     {-1, w.reponse1},
                                           {-1, w.lbl_link3}, {6, nullptr}, {-1, w.lbl_link2}};
    EXPECT_EQ(Children(client.get()), expected);

    struct Painted {
        LONG child;
        const wchar_t* name;
        LONG role;
    };
    for (const Painted& p :
         {Painted{1, L"Contr\u00f4le du service \"Carte \u00e0 puce\"", ROLE_SYSTEM_STATICTEXT},
          Painted{2, L"Cette application est compatible avec le logiciel Orbelin uniquement", ROLE_SYSTEM_STATICTEXT},
          Painted{3, L"Lancer le contr\u00f4le", ROLE_SYSTEM_PUSHBUTTON},
          Painted{6, L"Quitter", ROLE_SYSTEM_PUSHBUTTON}}) {
        EXPECT_EQ(Name(client.get(), p.child), p.name);
        EXPECT_EQ(Role(client.get(), p.child), p.role) << p.child;
    }
    EXPECT_EQ(Role(client.get(), CHILDID_SELF), ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(Name(client.get(), CHILDID_SELF), L"Orbelin - Contr\u00f4le du service");
    EXPECT_EQ(State(client.get(), 1) & STATE_SYSTEM_READONLY, STATE_SYSTEM_READONLY);
    VARIANT none = {};
    EXPECT_EQ(client.get()->get_accRole(Child(8), &none), E_INVALIDARG);  // the frame is not an element
}

TEST(Accessibility, NavigationFollowsTheReadingOrder) {
    WindowHarness harness;
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    std::vector<Element> walked;
    VARIANT at = {};
    ASSERT_EQ(client.get()->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &at), S_OK);
    walked.push_back(ElementOf(at));
    for (LONG child = 1; child < 7; ++child) {
        ASSERT_EQ(client.get()->accNavigate(NAVDIR_NEXT, Child(child), &at), S_OK) << child;
        walked.push_back(ElementOf(at));
    }
    EXPECT_EQ(walked, Children(client.get()));
    EXPECT_EQ(client.get()->accNavigate(NAVDIR_NEXT, Child(7), &at), S_FALSE);
    EXPECT_EQ(client.get()->accNavigate(NAVDIR_PREVIOUS, Child(1), &at), S_FALSE);
    ASSERT_EQ(client.get()->accNavigate(NAVDIR_PREVIOUS, Child(6), &at), S_OK);
    EXPECT_EQ(ElementOf(at), (Element{-1, harness.window().lbl_link3}));
}

// The places a client reads are where the elements are drawn, so that a click sent there lands.
TEST(Accessibility, LocationsAreTheLaidOutBoundsOnScreen) {
    struct Case {
        int dpi;
        Rect heading, subheading, check, quit;
    };
    for (const Case& c : {Case{96, {72, 14, 457, 29}, {8, 51, 580, 29}, {212, 144, 172, 30}, {248, 391, 95, 30}},
                          Case{144, {108, 21, 686, 44}, {12, 77, 870, 43}, {318, 216, 258, 45}, {372, 587, 143, 45}}}) {
        WindowHarness harness(c.dpi);
        const UniqueCom<IAccessible> client = ClientObject(harness.handle());
        ASSERT_TRUE(client);
        const HWND window = harness.handle();
        EXPECT_EQ(Location(client.get(), 1), OnScreen(window, c.heading)) << c.dpi;
        EXPECT_EQ(Location(client.get(), 2), OnScreen(window, c.subheading)) << c.dpi;
        EXPECT_EQ(Location(client.get(), 3), OnScreen(window, c.check)) << c.dpi;
        EXPECT_EQ(Location(client.get(), 6), OnScreen(window, c.quit)) << c.dpi;
        RECT pane = {};
        GetWindowRect(harness.pane(), &pane);
        EXPECT_EQ(Location(client.get(), 4),
                  (Rect{pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top}))
            << c.dpi;  // asked of the pane's own object
    }
}

TEST(Accessibility, HitTestingFindsTheElementUnderThePoint) {
    WindowHarness harness;
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    const HWND window = harness.handle();
    auto screen = [&](int x, int y) {
        POINT at = {x, y};
        ClientToScreen(window, &at);
        return at;
    };
    struct Case {
        POINT at;
        Element expected;
    };
    const Case cases[] = {
        {screen(72, 14), {1, nullptr}},   // the heading's top-left pixel
        {screen(528, 42), {1, nullptr}},  // and its bottom-right one
        {screen(300, 60), {2, nullptr}},
        {screen(212, 144), {3, nullptr}},
        {screen(383, 173), {3, nullptr}},
        {screen(384, 160), {0, nullptr}},  // just right of the check button: the framed space
        {screen(20, 100), {0, nullptr}},   // inside the frame, on nothing
        {screen(250, 391), {6, nullptr}},
        {ScreenCentre(harness, ControlId::reponse1), {-1, harness.pane()}},
        {ScreenCentre(harness, ControlId::lbl_link2), {-1, harness.window().lbl_link2}},
        {ScreenCentre(harness, ControlId::lbl_link3), {-1, harness.window().lbl_link3}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTest(client.get(), c.at), c.expected) << "at " << c.at.x << "," << c.at.y;
    }
    VARIANT outside = {};
    EXPECT_EQ(client.get()->accHitTest(screen(-20, -20).x, screen(-20, -20).y, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);
}

// Hot while the pointer is over a button, pressed while the left button is held on it; never
// focusable, with no default action or shortcut, so reading and asking run nothing.
TEST(Accessibility, ButtonStatesFollowThePointerAndNothingRunsFromTheTree) {
    FakeWinscard fake;
    WindowHarness harness;
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    IAccessible* object = client.get();
    const POINT check = harness.Centre(ControlId::controle_btn);
    const LONG kHotPressed = STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_PRESSED;

    EXPECT_EQ(State(object, 3) & (kHotPressed | STATE_SYSTEM_FOCUSABLE), 0);
    harness.Mouse(harness.handle(), WM_MOUSEMOVE, check);
    EXPECT_EQ(State(object, 3) & kHotPressed, STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(State(object, 6) & kHotPressed, 0);
    harness.Mouse(harness.handle(), WM_LBUTTONDOWN, check);
    EXPECT_EQ(State(object, 3) & kHotPressed, kHotPressed);
    harness.Mouse(harness.handle(), WM_MOUSEMOVE, {300, 300});  // dragged off, still held
    EXPECT_EQ(State(object, 3) & kHotPressed, 0);
    harness.Mouse(harness.handle(), WM_LBUTTONUP, {300, 300});
    EXPECT_EQ(State(object, 3) & (kHotPressed | STATE_SYSTEM_FOCUSABLE), 0);

    for (LONG button : {3L, 6L}) {
        BSTR text = nullptr;
        EXPECT_EQ(object->get_accDefaultAction(Child(button), &text), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(object->get_accKeyboardShortcut(Child(button), &text), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(object->accDoDefaultAction(Child(button)), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Child(button)), DISP_E_MEMBERNOTFOUND);
    }
    harness.Pump();
    EXPECT_TRUE(fake.Calls().empty());
    EXPECT_TRUE(harness.PaneText().empty());
    EXPECT_FALSE(harness.quitRequested());
    EXPECT_EQ(GetFocus(), harness.pane());
}

struct WinEvent {
    DWORD event;
    HWND window;
    LONG object, child;
    bool operator==(const WinEvent&) const = default;
};

void PrintTo(const WinEvent& e, std::ostream* out) {
    *out << "{event 0x" << std::hex << e.event << std::dec << ", window " << e.window << ", object " << e.object
         << ", child " << e.child << "}";
}

// Records the state-change and live-region events raised in this process while it lives.
class WinEventRecorder {
public:
    WinEventRecorder() {
        events().clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_STATECHANGE, kLiveRegionChanged, nullptr, Record, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    ~WinEventRecorder() { UnhookWinEvent(hook_); }
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    bool hooked() const { return hook_ != nullptr; }
    std::vector<WinEvent> Of(DWORD kind) const {
        std::vector<WinEvent> found;
        for (const WinEvent& e : events()) {
            if (e.event == kind) {
                found.push_back(e);
            }
        }
        return found;
    }

private:
    static std::vector<WinEvent>& events() {
        static std::vector<WinEvent> recorded;
        return recorded;
    }
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        events().push_back({event, window, object, child});
    }
    HWINEVENTHOOK hook_ = nullptr;
};

TEST(Accessibility, StateChangesAndNewReportsRaiseTheirEvents) {
    FakeWinscard fake;
    fake.Answer("8010001D");
    SetCursorPos(0, 0);  // the real pointer, off the window, must not make a button hot by itself
    WindowHarness harness;
    WinEventRecorder recorder;
    ASSERT_TRUE(recorder.hooked());
    const HWND window = harness.handle();
    const POINT check = harness.Centre(ControlId::controle_btn);
    const POINT quit = harness.Centre(ControlId::btn_quit);

    harness.Mouse(window, WM_MOUSEMOVE, check);    // hot
    harness.Mouse(window, WM_LBUTTONDOWN, check);  // pressed
    harness.Mouse(window, WM_LBUTTONUP, check);    // hot again, and the check runs
    harness.Mouse(window, WM_MOUSEMOVE, quit);     // the quit button warms, the check button cools
    harness.Pump();
    const WinEvent checkChanged = {EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, 3};
    const WinEvent quitChanged = {EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, 6};
    EXPECT_EQ(recorder.Of(EVENT_OBJECT_STATECHANGE),
              (std::vector<WinEvent>{checkChanged, checkChanged, checkChanged, quitChanged, checkChanged}));
    EXPECT_EQ(recorder.Of(kLiveRegionChanged),
              (std::vector<WinEvent>{{static_cast<DWORD>(kLiveRegionChanged), harness.pane(), OBJID_CLIENT, 0}}));
    EXPECT_FALSE(harness.PaneText().empty());
}

// A client may hold the object after the window has gone: it then fails cleanly.
TEST(Accessibility, AnObjectHeldPastTheWindowAnswersDisconnected) {
    UniqueCom<IAccessible> client;
    {
        WindowHarness harness;
        client = ClientObject(harness.handle());
        ASSERT_TRUE(client);
    }
    long count = 0;
    EXPECT_EQ(client.get()->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(client.get()->get_accName(Child(3), &name), CO_E_OBJNOTCONNECTED);
    VARIANT hit = {};
    EXPECT_EQ(client.get()->accHitTest(10, 10, &hit), CO_E_OBJNOTCONNECTED);
}

}  // namespace
}  // namespace orbelin
