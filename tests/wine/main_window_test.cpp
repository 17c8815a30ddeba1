// fiche_ppal under Wine, driven in-process with real window messages: its window facts and layout,
// the reports in the pane with their styles and colours, the flat buttons' click rule, the pane's
// refusal of input, the links, quitting, and the layout at 144 dpi.
#include <gtest/gtest.h>

#include <thread>

#include "support/fake_winscard.h"
#include "support/utf.h"
#include "ui/dpi.h"
#include "ui/win32/common_controls.h"
#include "window_harness.h"

namespace orbelin {
namespace {

using test_support::FakeWinscard;
using test_support::PaneRun;
using test_support::Utf8;
using test_support::WindowHarness;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

const PaneRun kConnected = {.text = "Connecté au service\r\n", .bold = true, .colour = kGreen};
const PaneRun kFailed = {.text = "Erreur durant la connexion au service\r\n", .bold = true, .colour = kRed};
const PaneRun kReturn = {.text = "Retour :", .underline = true, .colour = kBlack};

PaneRun Detail(const std::string& text) {
    return {.text = text, .colour = kBlack};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

Rect ChildBounds(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Size TextExtent(HWND window, const wchar_t* text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {size.cx, size.cy};
}

// The pane's default character format: its face, and its height in twips as the control keeps it.
std::pair<std::wstring, LONG> PaneFont(HWND pane) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    SendMessageW(pane, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return {format.szFaceName, format.yHeight};
}

LONG FontHeight(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

TEST(MainWindow, HasItsClassCaptionAndFixedFrame) {
    WindowHarness harness;
    ASSERT_TRUE(harness.created());
    HWND window = harness.handle();
    EXPECT_EQ(ClassOf(window), L"Tfiche_ppal");
    wchar_t caption[64] = L"";
    GetWindowTextW(window, caption, 64);
    EXPECT_EQ(Utf8(reinterpret_cast<const char16_t*>(caption)), "Orbelin - Contrôle du service");

    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 596);
    EXPECT_EQ(client.bottom, 427);
}

std::vector<std::uint32_t> IconPixels(HICON icon, int* size) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) {
        return {};
    }
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    *size = bitmap.bmWidth;
    BITMAPINFO request = {};
    request.bmiHeader = {.biSize = sizeof request.bmiHeader,
                         .biWidth = bitmap.bmWidth,
                         .biHeight = -bitmap.bmHeight,
                         .biPlanes = 1,
                         .biBitCount = 32,
                         .biCompression = BI_RGB};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// The title bar and the taskbar button show the class icons: MAINICON's 32- and 16-pixel images.
TEST(MainWindow, ItsClassCarriesTheApplicationIcon) {
    WindowHarness harness;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    struct Case {
        int index, metric;
    };
    for (const Case& c : {Case{GCLP_HICON, SM_CXICON}, Case{GCLP_HICONSM, SM_CXSMICON}}) {
        const int wanted = GetSystemMetrics(c.metric);
        int classSize = 0, resourceSize = 0;
        const auto classPixels =
            IconPixels(reinterpret_cast<HICON>(GetClassLongPtrW(harness.handle(), c.index)), &classSize);
        HICON fromResource = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, wanted, wanted, 0));
        const auto resourcePixels = IconPixels(fromResource, &resourceSize);
        DestroyIcon(fromResource);
        ASSERT_FALSE(classPixels.empty()) << c.index;
        EXPECT_EQ(classSize, wanted);
        EXPECT_EQ(resourceSize, wanted);
        EXPECT_EQ(classPixels, resourcePixels) << c.index;
    }
}

TEST(MainWindow, StartsCentredInTheWorkAreaWithAnEmptyFocusedPane) {
    FakeWinscard fake;
    WindowHarness harness;
    RECT area = {}, frame = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(harness.handle(), &frame);
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    EXPECT_EQ(frame.left, std::max(0L, area.left + (area.right - area.left - width) / 2));
    EXPECT_EQ(frame.top, std::max(0L, area.top + (area.bottom - area.top - height) / 2));

    EXPECT_EQ(harness.PaneText(), u"");
    EXPECT_EQ(GetFocus(), harness.pane());
    EXPECT_TRUE(fake.Calls().empty());
}

TEST(MainWindow, OpensMaximisedOrMinimisedWhenStartedSo) {
    {
        WindowHarness harness;
        harness.window().Show(InitialShow::Maximized);
        harness.Pump();
        EXPECT_TRUE(IsZoomed(harness.handle()));
    }
    {
        WindowHarness harness;
        HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                     nullptr, nullptr, nullptr);
        SetActiveWindow(other);
        ShowWindow(harness.handle(), SW_HIDE);
        harness.window().Show(InitialShow::MinimizedInactive);
        harness.Pump();
        EXPECT_TRUE(IsIconic(harness.handle()));
        EXPECT_NE(GetActiveWindow(), harness.handle());
        DestroyWindow(other);
    }
}

TEST(MainWindow, FocusReturnsToThePaneAndEnterOrEscapeDoNothing) {
    FakeWinscard fake;
    WindowHarness harness;
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetActiveWindow(other);
    SetFocus(other);
    harness.Pump();
    SetActiveWindow(harness.handle());
    harness.Pump();
    EXPECT_EQ(GetFocus(), harness.pane());
    DestroyWindow(other);

    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        SendMessageW(harness.handle(), WM_KEYDOWN, key, 1);
        SendMessageW(harness.handle(), WM_CHAR, key, 1);
        SendMessageW(harness.handle(), WM_KEYUP, key, 1);
    }
    harness.Pump();
    EXPECT_TRUE(IsWindow(harness.handle()));
    EXPECT_FALSE(harness.quitRequested());
    EXPECT_TRUE(fake.Calls().empty());
}

TEST(MainWindow, ChildrenAreTheLinksThenThePaneWhereTheLayoutPutsThem) {
    WindowHarness harness;
    std::vector<HWND> children;
    for (HWND child = GetWindow(harness.handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(ClassOf(children[0]), L"SysLink");
    EXPECT_EQ(ClassOf(children[1]), L"SysLink");
    EXPECT_EQ(ClassOf(children[2]), L"RichEdit20W");
    EXPECT_EQ(children[0], harness.window().lbl_link2);
    EXPECT_EQ(children[1], harness.window().lbl_link3);
    EXPECT_EQ(children[2], harness.pane());

    EXPECT_EQ(ChildBounds(harness.pane()), (Rect{24, 192, 553, 185}));
    const LONG paneStyle = GetWindowLongW(harness.pane(), GWL_STYLE);
    for (LONG bit : {LONG(ES_READONLY), LONG(ES_MULTILINE), LONG(WS_TABSTOP)}) {
        EXPECT_TRUE(paneStyle & bit) << std::hex << bit;
    }
    EXPECT_FALSE(paneStyle & (WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_DISABLENOSCROLL));
    EXPECT_FALSE(GetWindowLongW(harness.pane(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(PaneFont(harness.pane()), std::make_pair(std::wstring(L"Tahoma"), 11L * 1440 / 96));
    WPARAM numerator = 1;
    LPARAM denominator = 1;
    SendMessageW(harness.pane(), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                 reinterpret_cast<LPARAM>(&denominator));
    EXPECT_EQ(numerator, 0u);  // no zoom: 100 %

    struct Link {
        HWND window;
        Point at;
        const wchar_t* text;
    };
    for (const Link& link : {Link{children[0], {451, 403}, L"Support \u00e0 Distance"},
                             Link{children[1], {40, 401}, L"Logiciel lecture Vitale"}}) {
        const Size text = TextExtent(link.window, link.text);
        EXPECT_EQ(ChildBounds(link.window), (Rect{link.at.x, link.at.y, text.width + 4 * GetSystemMetrics(SM_CXBORDER),
                                                  text.height + 4 * GetSystemMetrics(SM_CYBORDER)}));
        EXPECT_FALSE(GetWindowLongW(link.window, GWL_STYLE) & WS_TABSTOP);
        EXPECT_EQ(FontHeight(link.window), 15);
    }
}

TEST(MainWindow, ChecksAppendCompleteReportsOldestFirst) {
    FakeWinscard fake;
    fake.Answer("0,8010001D,6D,5");
    WindowHarness harness;
    for (int i = 0; i < 4; ++i) {
        harness.Click(ControlId::controle_btn);
    }
    const std::vector<PaneRun> expected = {
        kConnected,
        kFailed,
        kReturn,
        Detail(" Le gestionnaire de ressources smart carte n est pas en cours d exécution\r\n"),
        kFailed,
        kReturn,
        Detail(" Le client a tenté une opération de carte intelligente dans une session distante, telle qu’une "
               "session cliente s’exécutant sur un serveur Terminal Server, et le système d’exploitation utilisé "
               "ne prend pas en charge la redirection smart carte.\r\n"),
        kFailed,
        kReturn,
        Detail(" Inconnu - 5\r\n"),
    };
    EXPECT_EQ(harness.PaneRuns(), expected);

    EXPECT_FALSE(SendMessageW(harness.pane(), EM_CANUNDO, 0, 0));          // appends are not undoable
    EXPECT_FALSE(GetWindowLongW(harness.pane(), GWL_STYLE) & WS_HSCROLL);  // the long sentence wraps

    const auto calls = fake.Calls();
    ASSERT_EQ(calls.size(), 5u);  // four establishes, one release after the success
    EXPECT_EQ(calls[1].kind, "release");
    EXPECT_EQ(calls[1].context, calls[0].context);
    EXPECT_EQ(GetFocus(), harness.pane());
}

TEST(MainWindow, AddlTextReplacesTheStyleSetAndContinuesTheLine) {
    WindowHarness harness;
    harness.window().AddlText(u"Retour :", fsUnderline, clBlack);
    harness.window().AddlText(u" suite\r\n", {}, clBlack);
    harness.window().AddlText(u"gras", TFontStyles(fsBold) | fsItalic, clRed);
    harness.window().AddlText(u" barré", fsStrikeOut, clGreen);
    const std::vector<PaneRun> expected = {
        kReturn,
        Detail(" suite\r\n"),
        {.text = "gras", .bold = true, .italic = true, .colour = kRed},
        {.text = " barré", .strikeOut = true, .colour = kGreen},
    };
    EXPECT_EQ(harness.PaneRuns(), expected);
}

TEST(FlatButtons, OnlyAPressAndReleaseOverTheButtonClick) {
    FakeWinscard fake;
    WindowHarness harness;
    const POINT on = harness.Centre(ControlId::controle_btn);
    const POINT off = {on.x, on.y + 100};

    harness.Mouse(harness.handle(), WM_LBUTTONDOWN, on);
    EXPECT_EQ(harness.window().controle_btn.Look(), ButtonLook::Pressed);
    harness.Mouse(harness.handle(), WM_MOUSEMOVE, off);
    harness.Mouse(harness.handle(), WM_LBUTTONUP, off);
    EXPECT_TRUE(fake.Calls().empty());
    EXPECT_EQ(harness.PaneText(), u"");

    harness.Mouse(harness.handle(), WM_LBUTTONDOWN, off);  // pressed elsewhere, released on the button
    harness.Mouse(harness.handle(), WM_MOUSEMOVE, on);
    harness.Mouse(harness.handle(), WM_LBUTTONUP, on);
    EXPECT_TRUE(fake.Calls().empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(FlatButtons, EachPressOfADoubleClickIsAClick) {
    FakeWinscard fake;
    fake.Answer("8010001D");
    WindowHarness harness;
    const POINT on = harness.Centre(ControlId::controle_btn);
    harness.Mouse(harness.handle(), WM_LBUTTONDOWN, on);
    harness.Mouse(harness.handle(), WM_LBUTTONUP, on);
    harness.Mouse(harness.handle(), WM_LBUTTONDBLCLK, on);
    harness.Mouse(harness.handle(), WM_LBUTTONUP, on);
    EXPECT_EQ(fake.Calls().size(), 2u);
    EXPECT_EQ(harness.PaneRuns().size(), 6u);
}

TEST(FlatButtons, ShowTheHandAndNeverTakeTheFocus) {
    WindowHarness harness;
    const POINT on = harness.Centre(ControlId::btn_quit);
    POINT screen = on;
    ClientToScreen(harness.handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(harness.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(harness.handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    harness.Mouse(harness.handle(), WM_LBUTTONDOWN, harness.Centre(ControlId::controle_btn));
    EXPECT_EQ(GetFocus(), harness.pane());
    harness.Mouse(harness.handle(), WM_LBUTTONUP, {0, 0});
}

// The scroll bars are there only while the content needs them: the control drops their style bits.
TEST(ResultPane, ShowsAVerticalScrollBarOnlyOnceTheReportsOverflow) {
    FakeWinscard fake;
    fake.Answer("0");
    WindowHarness harness;
    EXPECT_FALSE(GetWindowLongW(harness.pane(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    for (int i = 0; i < 20; ++i) {
        harness.Click(ControlId::controle_btn);
    }
    EXPECT_TRUE(GetWindowLongW(harness.pane(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongW(harness.pane(), GWL_STYLE) & WS_HSCROLL);  // lines wrap instead
}

TEST(ResultPane, RefusesTypingDeletingPastingAndKeepsTheFocusOnTab) {
    FakeWinscard fake;
    fake.Answer("5");
    WindowHarness harness;
    harness.Click(ControlId::controle_btn);
    const std::u16string before = harness.PaneText();
    ASSERT_FALSE(before.empty());

    if (OpenClipboard(harness.handle())) {
        EmptyClipboard();
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 16);
        lstrcpyW(static_cast<wchar_t*>(GlobalLock(text)), L"collé");
        GlobalUnlock(text);
        SetClipboardData(CF_UNICODETEXT, text);
        CloseClipboard();
    }
    HWND pane = harness.pane();
    SetFocus(pane);
    SendMessageW(pane, EM_SETSEL, 0, -1);
    for (WPARAM key : {WPARAM('x'), WPARAM(VK_BACK)}) {
        SendMessageW(pane, WM_CHAR, key, 1);
    }
    for (WPARAM key : {WPARAM(VK_DELETE), WPARAM(VK_BACK), WPARAM(VK_TAB), WPARAM(VK_RETURN)}) {
        SendMessageW(pane, WM_KEYDOWN, key, 1);
        SendMessageW(pane, WM_KEYUP, key, 1);
    }
    for (UINT command : {UINT(WM_PASTE), UINT(WM_CUT), UINT(WM_CLEAR), UINT(WM_UNDO)}) {
        SendMessageW(pane, command, 0, 0);
    }
    harness.Pump();
    EXPECT_EQ(Utf8(harness.PaneText()), Utf8(before));
    EXPECT_EQ(GetFocus(), pane);
}

// A context menu would run a modal loop inside the right-click; a watchdog closes any that appears.
TEST(ResultPane, RightClickShowsNoMenu) {
    WindowHarness harness;
    bool menuSeen = false;
    bool done = false;
    std::thread watchdog([&] {
        for (int i = 0; i < 40 && !done; ++i) {
            Sleep(50);
            if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
                menuSeen = true;
                PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        }
    });
    const POINT at = {20, 20};
    harness.Mouse(harness.pane(), WM_RBUTTONDOWN, at);
    SendMessageW(harness.pane(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    POINT screen = at;
    ClientToScreen(harness.pane(), &screen);
    SendMessageW(harness.pane(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(harness.pane()),
                 MAKELPARAM(screen.x, screen.y));
    harness.Pump();
    Sleep(300);
    done = true;
    watchdog.join();
    EXPECT_FALSE(menuSeen);
}

TEST(Links, APlainClickAnywhereInTheLabelOpensItsAddress) {
    WindowHarness harness;
    struct Case {
        HWND link;
        const wchar_t* address;
    };
    const Case cases[] = {{harness.window().lbl_link2, L"https://www.orbelin.fr/support-a-distance"},
                          {harness.window().lbl_link3, L"https://www.orbelin.fr/"}};
    for (const Case& c : cases) {
        WindowHarness::shellCalls().clear();
        harness.Mouse(c.link, WM_LBUTTONDOWN, {1, 1});  // the border, outside the link text
        harness.Mouse(c.link, WM_LBUTTONUP, {1, 1});
        ASSERT_EQ(WindowHarness::shellCalls().size(), 1u);
        const auto& call = WindowHarness::shellCalls()[0];
        EXPECT_EQ(call.owner, harness.handle());
        EXPECT_EQ(call.verb, L"open");
        EXPECT_EQ(call.file, c.address);
        EXPECT_TRUE(call.parametersNull);
        EXPECT_TRUE(call.directoryNull);
        EXPECT_EQ(call.show, SW_SHOW);
        EXPECT_EQ(GetFocus(), harness.pane());

        wchar_t markup[128] = L"";
        GetWindowTextW(c.link, markup, 128);
        EXPECT_NE(std::wstring(markup).find(std::wstring(L"href=\"") + c.address + L"\""), std::wstring::npos);
    }
}

// SysLink on its own answers hit-testing as transparent away from its text, so presses on the label's
// margin would reach the main window instead: every point of the label must be the label's, with the hand.
TEST(Links, TheWholeLabelIsHitAndShowsTheHand) {
    WindowHarness harness;
    for (HWND link : {harness.window().lbl_link2, harness.window().lbl_link3}) {
        RECT client = {};
        GetClientRect(link, &client);
        int missed = 0;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                POINT at = {x, y};
                ClientToScreen(link, &at);
                const LRESULT hit = SendMessageW(link, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
                missed += hit != HTCLIENT;
                SetCursor(nullptr);
                SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(hit, WM_MOUSEMOVE));
                missed += GetCursor() != LoadCursorW(nullptr, IDC_HAND);
            }
        }
        EXPECT_EQ(missed, 0) << "points of the label not claimed with the hand";
        // The system's own search for the window under the pointer lands on the label in its margins.
        for (POINT at :
             {POINT{client.right / 2, client.bottom - 2}, POINT{client.right - 2, client.bottom / 2}, POINT{1, 1}}) {
            ClientToScreen(link, &at);
            EXPECT_EQ(WindowFromPoint(at), link) << "at " << at.x << "," << at.y;
        }
    }
}

TEST(Links, NeitherADragOffNorTheKeyboardOpensThem) {
    WindowHarness harness;
    HWND link = harness.window().lbl_link2;
    harness.Mouse(link, WM_LBUTTONDOWN, {5, 5});
    harness.Mouse(link, WM_MOUSEMOVE, {500, 5});
    harness.Mouse(link, WM_LBUTTONUP, {500, 5});
    SetFocus(link);
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_SPACE)}) {
        SendMessageW(link, WM_KEYDOWN, key, 1);
        SendMessageW(link, WM_CHAR, key, 1);
        SendMessageW(link, WM_KEYUP, key, 1);
    }
    harness.Pump();
    EXPECT_TRUE(WindowHarness::shellCalls().empty());

    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST(Quitting, TheQuitButtonAndTheCloseBoxEndTheLoopWithZero) {
    {
        WindowHarness harness;
        harness.Click(ControlId::btn_quit);
        EXPECT_TRUE(harness.quitRequested());
        EXPECT_EQ(harness.quitCode(), 0);
    }
    {
        WindowHarness harness;
        HWND window = harness.handle();
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        harness.Pump();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(harness.quitRequested());
        EXPECT_EQ(harness.quitCode(), 0);
    }
}

TEST(PixelDensity, At144DpiEverythingIsScaledByOneAndAHalf) {
    WindowHarness harness(144);
    RECT client = {};
    GetClientRect(harness.handle(), &client);
    EXPECT_EQ(client.right, 894);
    EXPECT_EQ(client.bottom, 641);
    EXPECT_EQ(ChildBounds(harness.pane()), (Rect{36, 288, 830, 278}));
    EXPECT_EQ(PaneFont(harness.pane()).second, 17L * 1440 / 96);
    EXPECT_EQ(FontHeight(harness.window().lbl_link2), 23);
    EXPECT_EQ(harness.window().Bounds(ControlId::controle_btn), (Rect{318, 216, 258, 45}));
    const Rect link = ChildBounds(harness.window().lbl_link3);
    EXPECT_EQ(link.left, 60);
    EXPECT_EQ(link.top, 602);
}

// The control's own limit (32,767 characters) would cut reports off on Windows after a few hundred
// checks; the pane raises it before any report is written.
TEST(ResultPane, RaisesItsTextLimitBeforeAnyReport) {
    WindowHarness harness;
    EXPECT_EQ(harness.PaneText(), u"");
    EXPECT_EQ(SendMessageW(harness.pane(), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

// A system colour scheme for the duration of a test, put back as it was however the test ends.
// SetSysColors changes the colours of the whole session and tells every top-level window.
class SystemScheme {
public:
    SystemScheme() {
        for (int i = 0; i < kCount; ++i) {
            saved_[i] = GetSysColor(kIndices[i]);
        }
    }
    ~SystemScheme() { SetSysColors(kCount, kIndices, saved_); }
    SystemScheme(const SystemScheme&) = delete;
    SystemScheme& operator=(const SystemScheme&) = delete;

    void Set(COLORREF window, COLORREF windowText, COLORREF link) {
        const COLORREF values[kCount] = {window, windowText, link, link};
        SetSysColors(kCount, kIndices, values);
    }
    void Restore() { SetSysColors(kCount, kIndices, saved_); }

private:
    static constexpr int kCount = 4;
    static constexpr INT kIndices[kCount] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HOTLIGHT, COLOR_HIGHLIGHT};
    COLORREF saved_[kCount] = {};
};

std::vector<COLORREF> RunColours(const std::vector<PaneRun>& runs) {
    std::vector<COLORREF> colours;
    for (const PaneRun& run : runs) {
        colours.push_back(run.colour);
    }
    return colours;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Into a dark scheme and back while the window is open: the earlier reports turn to the window-text
// colour and get their own colours back, styles kept, with the user's selection and nothing to undo;
// a report written in the dark scheme is in its colour too.
TEST(ColourScheme, AChangeWhileOpenRecoloursEverythingBothWays) {
    FakeWinscard fake;
    fake.Answer("0,8010001D,5");
    WindowHarness harness;
    harness.Click(ControlId::controle_btn);
    harness.Click(ControlId::controle_btn);
    const std::vector<PaneRun> normal = harness.PaneRuns();
    ASSERT_EQ(RunColours(normal), (std::vector<COLORREF>{kGreen, kRed, kBlack, kBlack}));
    EXPECT_EQ(harness.window().colourMode(), ColourMode::Default);

    constexpr COLORREF kDark = RGB(0, 0, 0), kLight = RGB(255, 255, 255), kYellow = RGB(255, 255, 0);
    SystemScheme scheme;
    CHARRANGE selection = {3, 12};
    SendMessageW(harness.pane(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    scheme.Set(kDark, kLight, kYellow);
    harness.Pump();
    EXPECT_EQ(harness.window().colourMode(), ColourMode::Contrast);
    CHARRANGE after = {};
    SendMessageW(harness.pane(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(std::make_pair(after.cpMin, after.cpMax), std::make_pair(3L, 12L));
    EXPECT_FALSE(SendMessageW(harness.pane(), EM_CANUNDO, 0, 0));

    harness.Click(ControlId::controle_btn);  // a report written in the dark scheme
    // Same-coloured runs merge now: the bold headings into one run, each label and its detail apart.
    const std::vector<PaneRun> expected = {
        {.text = "Connecté au service\r\nErreur durant la connexion au service\r\n", .bold = true, .colour = kLight},
        {.text = "Retour :", .underline = true, .colour = kLight},
        {.text = normal[3].text, .colour = kLight},
        {.text = "Erreur durant la connexion au service\r\n", .bold = true, .colour = kLight},
        {.text = "Retour :", .underline = true, .colour = kLight},
        {.text = " Inconnu - 5\r\n", .colour = kLight},
    };
    EXPECT_EQ(harness.PaneRuns(), expected);
    EXPECT_EQ(ClientPixel(harness.handle(), 20, 100), kDark);   // the client
    EXPECT_EQ(ClientPixel(harness.handle(), 500, 370), kDark);  // the pane below its text

    scheme.Restore();
    harness.Pump();
    EXPECT_EQ(harness.window().colourMode(), ColourMode::Default);
    EXPECT_EQ(RunColours(harness.PaneRuns()),
              (std::vector<COLORREF>{kGreen, kRed, kBlack, kBlack, kRed, kBlack, kBlack}));
    EXPECT_EQ(ClientPixel(harness.handle(), 20, 100), RGB(255, 255, 255));
    EXPECT_EQ(ClientPixel(harness.handle(), 500, 370), RGB(255, 255, 255));
    EXPECT_FALSE(SendMessageW(harness.pane(), EM_CANUNDO, 0, 0));
}

// What is on screen: the frame's two outlines in the system colours, and the glyphs with only their
// exact transparent colour left out.
TEST(Painting, DrawsTheEtchedFrameAndTheGlyphs) {
    WindowHarness harness;
    RedrawWindow(harness.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(harness.handle());
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(GetPixel(dc, 8, 200), shadow);    // left shadow line
    EXPECT_EQ(GetPixel(dc, 586, 200), shadow);  // right shadow line, at width - 2
    EXPECT_EQ(GetPixel(dc, 587, 200), light);   // right highlight line, at width - 1
    EXPECT_EQ(GetPixel(dc, 300, 86), shadow);   // top
    EXPECT_EQ(GetPixel(dc, 300, 383), shadow);  // bottom shadow, at height - 2
    EXPECT_EQ(GetPixel(dc, 300, 384), light);   // bottom highlight, at height - 1

    const Rect button = harness.window().Bounds(ControlId::controle_btn);
    int keyPixels = 0, bluePixels = 0;
    for (int y = button.top; y < button.bottom(); ++y) {
        for (int x = button.left; x < button.right(); ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            keyPixels += c == RGB(255, 254, 255);
            bluePixels += GetBValue(c) > 150 && GetRValue(c) < 120;
        }
    }
    ReleaseDC(harness.handle(), dc);
    EXPECT_EQ(keyPixels, 0);
    EXPECT_GT(bluePixels, 40);
}

}  // namespace
}  // namespace orbelin

int main(int argc, char** argv) {
    // As the program does: its window calls comctl32 through this, which must outlive every window.
    const orbelin::win32::CommonControls commonControls;
    OleInitialize(nullptr);
    const INITCOMMONCONTROLSEX controls = {.dwSize = sizeof controls, .dwICC = ICC_LINK_CLASS};
    orbelin::win32::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
