// fiche_ppal as Active Accessibility clients see it, read in-process under Wine through oleacc.dll
// exactly as a screen reader would call it: the tree in reading order, names, roles, places at two
// densities, hit-testing, the flat buttons' states, the default actions, the events that announce
// changes, and requests that come while the window is being destroyed.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
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
constexpr LONG kAnnouncement = 8;            // the element the live-region event names

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

// A text property of an element, "<none>" where it has none.
std::wstring TextProperty(IAccessible* object,
                          HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                          LONG child) {
    BSTR value = nullptr;
    if ((object->*get)(Child(child), &value) != S_OK || value == nullptr) {
        return L"<none>";
    }
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return text;
}

std::wstring Name(IAccessible* object, LONG child) {
    return TextProperty(object, &IAccessible::get_accName, child);
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

std::wstring Text(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Value(IAccessible* object) {
    return TextProperty(object, &IAccessible::get_accValue, CHILDID_SELF);
}

std::size_t Reports(std::u16string_view pane) {
    std::size_t count = 0;
    for (std::size_t at = pane.find(u"Retour :"); at != pane.npos; at = pane.find(u"Retour :", at + 1)) {
        ++count;
    }
    return count;
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
    const std::vector<Element> expected = {{1, nullptr}, {2, nullptr}, {3, nullptr}, {-1, w.reponse1},
                                           {5, nullptr}, {6, nullptr}, {7, nullptr}};
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
          Painted{5, L"Logiciel lecture Vitale", ROLE_SYSTEM_LINK}, Painted{6, L"Quitter", ROLE_SYSTEM_PUSHBUTTON},
          Painted{7, L"Support \u00e0 Distance", ROLE_SYSTEM_LINK}}) {
        EXPECT_EQ(Name(client.get(), p.child), p.name);
        EXPECT_EQ(Role(client.get(), p.child), p.role) << p.child;
    }
    EXPECT_EQ(Role(client.get(), CHILDID_SELF), ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(Name(client.get(), CHILDID_SELF), L"Orbelin - Contr\u00f4le du service");
    EXPECT_EQ(State(client.get(), 1) & STATE_SYSTEM_READONLY, STATE_SYSTEM_READONLY);
    // Links are linked and, not being tab stops, not focusable.
    for (LONG link : {5L, 7L}) {
        EXPECT_EQ(State(client.get(), link) & (STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE), STATE_SYSTEM_LINKED);
    }
    // The announcement is not listed, and has no name before the first check.
    EXPECT_EQ(Role(client.get(), kAnnouncement), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(Name(client.get(), kAnnouncement), L"<none>");
    VARIANT none = {};
    EXPECT_EQ(client.get()->get_accRole(Child(kAnnouncement + 1), &none), E_INVALIDARG);  // nor is the frame
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
    EXPECT_EQ(ElementOf(at), (Element{5, nullptr}));
    EXPECT_EQ(client.get()->accNavigate(NAVDIR_PREVIOUS, Child(kAnnouncement), &at), S_FALSE);  // outside the order
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
        // The pane (asked of its own object) and the links where their windows are; the announcement
        // where the pane shows it.
        const Tfiche_ppal& w = harness.window();
        for (const auto& [child, childWindow] : {std::pair{4L, w.reponse1}, std::pair{5L, w.lbl_link3},
                                                 std::pair{7L, w.lbl_link2}, std::pair{kAnnouncement, w.reponse1}}) {
            RECT r = {};
            GetWindowRect(childWindow, &r);
            EXPECT_EQ(Location(client.get(), child), (Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}))
                << "child " << child << " at " << c.dpi << " dpi";
        }
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
        {ScreenCentre(harness, ControlId::lbl_link2), {7, nullptr}},
        {ScreenCentre(harness, ControlId::lbl_link3), {5, nullptr}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTest(client.get(), c.at), c.expected) << "at " << c.at.x << "," << c.at.y;
    }
    VARIANT outside = {};
    EXPECT_EQ(client.get()->accHitTest(screen(-20, -20).x, screen(-20, -20).y, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);
}

// Hot while the pointer is over a button, pressed while the left button is held on it; never focusable.
TEST(Accessibility, ButtonStatesFollowThePointer) {
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
    harness.Pump();
    EXPECT_TRUE(fake.Calls().empty());
}

// What a click would have done so far: checks run, addresses opened, a quit requested.
struct Effects {
    std::size_t checks = 0;
    std::vector<std::wstring> opened;
    int quitCode = -1;  // -1: no quit requested
    bool operator==(const Effects&) const = default;
};

void PrintTo(const Effects& e, std::ostream* out) {
    *out << "{checks " << e.checks << ", opened " << e.opened.size() << ", quit " << e.quitCode << "}";
}

Effects Observe(const FakeWinscard& fake, const WindowHarness& harness) {
    Effects effects;
    for (const auto& call : fake.Calls()) {
        effects.checks += call.kind == "establish" ? 1 : 0;
    }
    for (const auto& call : WindowHarness::shellCalls()) {
        effects.opened.push_back(call.file);
    }
    effects.quitCode = harness.quitRequested() ? harness.quitCode() : -1;
    return effects;
}

struct ActionCase {
    LONG child;
    ControlId control;
    const wchar_t* action;
    Effects once;  // what one default action does
};

std::vector<ActionCase> ActionCases() {
    const std::wstring product = Text(kFichePpal.Control(ControlId::lbl_link3).url);
    const std::wstring support = Text(kFichePpal.Control(ControlId::lbl_link2).url);
    return {{3, ControlId::controle_btn, L"Appuyer", {.checks = 1}},
            {5, ControlId::lbl_link3, L"Suivre le lien", {.opened = {product}}},
            {7, ControlId::lbl_link2, L"Suivre le lien", {.opened = {support}}},
            {6, ControlId::btn_quit, L"Appuyer", {.quitCode = 0}}};
}

std::wstring DefaultAction(IAccessible* object, LONG child) {
    return TextProperty(object, &IAccessible::get_accDefaultAction, child);
}

// Each button and link does, by its default action, what its click does, once per call; the call
// returns before the click runs, which happens in the window's message loop.
TEST(Accessibility, DefaultActionsFromTheTreeDoWhatAClickDoes) {
    for (const ActionCase& c : ActionCases()) {
        FakeWinscard fake;
        fake.Answer("8010001D");
        WindowHarness harness;
        const UniqueCom<IAccessible> client = ClientObject(harness.handle());
        ASSERT_TRUE(client);
        EXPECT_EQ(DefaultAction(client.get(), c.child), c.action);
        ASSERT_EQ(client.get()->accDoDefaultAction(Child(c.child)), S_OK) << c.child;
        EXPECT_EQ(Observe(fake, harness), Effects{}) << "child " << c.child << " before the message loop";
        harness.Pump();
        EXPECT_EQ(Observe(fake, harness), c.once) << "child " << c.child;
        if (c.control == ControlId::controle_btn) {
            EXPECT_EQ(client.get()->accDoDefaultAction(Child(c.child)), S_OK);
            harness.Pump();
            EXPECT_EQ(Observe(fake, harness).checks, 2u) << "a second call, a second check";
            EXPECT_EQ(Reports(harness.PaneText()), 2u);
        }
        EXPECT_EQ(GetFocus(), harness.pane()) << "focus after child " << c.child << "'s action";
    }
}
// From any point of a button or a link, AccessibleObjectFromPoint (which starts from the window under
// the point: the link's own, for a link) gives the element of the tree, whose action does the same.
TEST(Accessibility, DefaultActionsFromAPointDoWhatAClickDoes) {
    for (const ActionCase& c : ActionCases()) {
        FakeWinscard fake;
        fake.Answer("0");
        WindowHarness harness;
        const Rect r = harness.window().Bounds(c.control);
        Effects expected;
        for (POINT at : {POINT{r.left, r.top}, POINT{r.left + r.width / 2, r.top + r.height / 2},
                         POINT{r.right() - 1, r.bottom() - 1}}) {
            ClientToScreen(harness.handle(), &at);
            IAccessible* found = nullptr;
            VARIANT child = {};
            ASSERT_EQ(AccessibleObjectFromPoint(at, &found, &child), S_OK) << at.x << "," << at.y;
            const UniqueCom<IAccessible> object(found);
            const Element element = ElementOf(child);
            HWND owner = nullptr;
            WindowFromAccessibleObject(object.get(), &owner);
            EXPECT_EQ(owner, harness.handle()) << "child " << c.child;
            ASSERT_EQ(element, (Element{c.child, nullptr})) << at.x << "," << at.y;
            EXPECT_EQ(DefaultAction(object.get(), c.child), c.action);
            ASSERT_EQ(object.get()->accDoDefaultAction(Child(c.child)), S_OK);
            harness.Pump();
            expected.checks += c.once.checks;
            expected.opened.insert(expected.opened.end(), c.once.opened.begin(), c.once.opened.end());
            expected.quitCode = c.once.quitCode;
            EXPECT_EQ(Observe(fake, harness), expected) << "child " << c.child << " at " << at.x << "," << at.y;
        }
    }
}

// The headings and the announcement have no action; nothing has a shortcut or takes the focus, so
// asking runs nothing and the focus stays in the pane.
TEST(Accessibility, HeadingsHaveNoActionAndNothingTakesTheFocus) {
    FakeWinscard fake;
    WindowHarness harness;
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    IAccessible* object = client.get();
    BSTR text = nullptr;
    for (LONG child : {1L, 2L, kAnnouncement}) {
        EXPECT_EQ(object->get_accDefaultAction(Child(child), &text), DISP_E_MEMBERNOTFOUND) << child;
        EXPECT_EQ(object->accDoDefaultAction(Child(child)), DISP_E_MEMBERNOTFOUND) << child;
    }
    for (LONG child : {1L, 2L, 3L, 5L, 6L, 7L, kAnnouncement}) {
        EXPECT_EQ(object->get_accKeyboardShortcut(Child(child), &text), DISP_E_MEMBERNOTFOUND) << child;
        EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Child(child)), DISP_E_MEMBERNOTFOUND) << child;
    }
    harness.Pump();
    EXPECT_EQ(Observe(fake, harness), Effects{});
    EXPECT_TRUE(harness.PaneText().empty());
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
        announced().clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_STATECHANGE, kLiveRegionChanged, nullptr, Record, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    ~WinEventRecorder() { UnhookWinEvent(hook_); }
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    bool hooked() const { return hook_ != nullptr; }
    // The name of each live-region event's source, read when the event arrived, as a screen reader does.
    static std::vector<std::wstring>& announced() {
        static std::vector<std::wstring> names;
        return names;
    }
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
        if (event == static_cast<DWORD>(kLiveRegionChanged)) {
            IAccessible* source = nullptr;
            VARIANT id = {};
            const bool found = AccessibleObjectFromEvent(window, object, child, &source, &id) == S_OK && source;
            announced().push_back(found ? Name(source, id.lVal) : L"<no source>");
            if (source) {
                source->Release();
            }
        }
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
              (std::vector<WinEvent>{{static_cast<DWORD>(kLiveRegionChanged), window, OBJID_CLIENT, kAnnouncement}}));
    EXPECT_FALSE(harness.PaneText().empty());
}

// One event per check, whose source is named by the new report alone, its lines joined by spaces,
// while the pane answers as the system's own object for it does (its value, where the system gives
// one, is every report).
TEST(Accessibility, EachCheckIsAnnouncedOnceInItsOwnWords) {
    FakeWinscard fake;
    fake.Answer("8010001D,0");
    WindowHarness harness;
    WinEventRecorder recorder;
    ASSERT_TRUE(recorder.hooked());
    const UniqueCom<IAccessible> client = ClientObject(harness.handle());
    ASSERT_TRUE(client);
    const std::vector<std::wstring> said = {
        L"Erreur durant la connexion au service Retour : Le gestionnaire de ressources smart carte n est pas en "
        L"cours d ex\u00e9cution",
        L"Connect\u00e9 au service"};
    for (std::size_t check = 1; check <= said.size(); ++check) {
        harness.Click(ControlId::controle_btn);
        harness.Pump();
        EXPECT_EQ(recorder.Of(kLiveRegionChanged).size(), check);
        const std::vector<std::wstring> heard(said.begin(), said.begin() + static_cast<std::ptrdiff_t>(check));
        EXPECT_EQ(WinEventRecorder::announced(), heard);
        EXPECT_EQ(Name(client.get(), kAnnouncement), said[check - 1]) << "until the next report";
        const UniqueCom<IAccessible> pane = ClientObject(harness.pane());
        IAccessible* standard = nullptr;
        ASSERT_EQ(CreateStdAccessibleObject(harness.pane(), OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&standard)),
                  S_OK);
        const UniqueCom<IAccessible> system(standard);
        ASSERT_TRUE(pane);
        EXPECT_EQ(Name(pane.get(), CHILDID_SELF), Name(system.get(), CHILDID_SELF));
        EXPECT_EQ(Value(pane.get()), Value(system.get()));
    }
}

// Asks for the client objects of the window and of a child window as that child is destroyed, after
// the window has had WM_DESTROY, as a client's in-context WinEvent hook may (Wine 8 raises no
// destruction events, so a message hook stands in for it); keeps what it got.
class DestructionWatcher {
public:
    explicit DestructionWatcher(std::vector<HWND> windows) {
        watched() = std::move(windows);
        objects().clear();
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Ask, nullptr, GetCurrentThreadId());
    }
    ~DestructionWatcher() { UnhookWindowsHookEx(hook_); }
    DestructionWatcher(const DestructionWatcher&) = delete;
    DestructionWatcher& operator=(const DestructionWatcher&) = delete;

    bool hooked() const { return hook_ != nullptr; }
    static std::vector<UniqueCom<IAccessible>>& objects() {
        static std::vector<UniqueCom<IAccessible>> got;
        return got;
    }

private:
    static std::vector<HWND>& watched() {
        static std::vector<HWND> windows;
        return windows;
    }
    static LRESULT CALLBACK Ask(int code, WPARAM wparam, LPARAM lparam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && message->message == WM_DESTROY &&
            std::find(watched().begin() + 1, watched().end(), message->hwnd) != watched().end()) {
            for (HWND asked : {watched().front(), message->hwnd}) {
                objects().push_back(ClientObject(asked));
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    HHOOK hook_ = nullptr;
};

// An object of the window's own answers a button's name from the window description; one handed out
// during the destruction would go on answering after the window is gone, with nothing to cut it off.
TEST(Accessibility, RequestsWhileTheWindowIsDestroyedBuildNothing) {
    std::optional<WindowHarness> harness(std::in_place);
    const UniqueCom<IAccessible> before = ClientObject(harness->handle());  // made, so one exists to cut off
    ASSERT_TRUE(before);
    const Tfiche_ppal& w = harness->window();
    DestructionWatcher watcher({w.handle(), w.reponse1, w.lbl_link2, w.lbl_link3});
    ASSERT_TRUE(watcher.hooked());
    harness.reset();
    ASSERT_EQ(DestructionWatcher::objects().size(), 6u) << "two requests for each child window destroyed";
    for (const UniqueCom<IAccessible>& object : DestructionWatcher::objects()) {
        if (object) {
            EXPECT_NE(Name(object.get(), 3), L"Lancer le contr\u00f4le");
        }
    }
    EXPECT_EQ(Name(before.get(), 3), L"<none>");  // cut off
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
