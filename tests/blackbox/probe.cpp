// Looks at a running orbelinchk from another process, the way a user's desktop sees it, and writes
// what it finds as key=value lines for the black-box suite (tests/blackbox/blackbox.py):
//   probe OUT facts            the main window: frame, state, focus, children, pane text and text
//                              limit, menus, the program's private bytes
//   probe OUT runs             the pane's text as runs of equal character format
//   probe OUT launch SHOW EXE  starts EXE with that show command, writes its facts to OUT, then
//                              waits for it to end and writes exitcode=N to OUT.exit
//   probe OUT close            asks the window to close, as a taskbar button's menu would
//   probe OUT clipboard [TEXT] puts TEXT on the clipboard (when given), then reads it back
//   probe OUT accessible [X,Y...]  the accessible tree and hit-tests at client points (probe_accessible.h)
//   probe OUT act tree CHILD | act point X,Y   runs an element's default action (probe_accessible.h)
//   probe OUT listen           hears the program's live-region events (probe_accessible.h)
//   probe OUT modules          the DLLs loaded in the program's process
//   probe OUT load NAME...     loads each DLL by bare name, as a program that does not restrict its
//                              DLL search would, and tells which ones it got
//   probe OUT syscolors [INDEX=RRGGBB...]  the system colours before, then sets the ones given with
//                              SetSysColors, which tells every top-level window (WM_SYSCOLORCHANGE)
//   probe OUT scheme INDEX=RRGGBB...  the same, but SetSysColors runs on the program's own thread
//                              (scheme_hook.dll), which is how a running program sees it under Wine
// Values are UTF-8; in texts, backslash, CR, LF, tab and other control characters are escaped.
// Each file is written whole under another name and then renamed, so a reader never sees half of it.
#include <windows.h>

#include <psapi.h>
#include <richedit.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "probe_accessible.h"
#include "probe_facts.h"
#include "scheme_request.h"

namespace {

using test_support::Escaped;
using test_support::Facts;
using test_support::Narrow;

constexpr wchar_t kWindowClass[] = L"Tfiche_ppal";
constexpr wchar_t kPaneClass[] = L"RichEdit20W";
constexpr DWORD kMessageTimeoutMs = 5000;

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = L"";
    GetClassNameW(window, name, 128);
    return name;
}

struct Search {
    DWORD pid;  // 0: any process
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMainWindows(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (ClassOf(window) == kWindowClass && (search->pid == 0 || search->pid == pid)) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> MainWindows(DWORD pid) {
    Search search = {pid, {}};
    EnumWindows(CollectMainWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct WindowCount {
    DWORD pid;                 // 0: any process
    const wchar_t* className;  // null: any class
    int count;
};

BOOL CALLBACK CountVisibleWindows(HWND window, LPARAM param) {
    auto* counting = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (IsWindowVisible(window) && (counting->pid == 0 || counting->pid == pid) &&
        (counting->className == nullptr || ClassOf(window) == counting->className)) {
        ++counting->count;
    }
    return TRUE;
}

int VisibleTopLevelWindows(DWORD pid, const wchar_t* className) {
    WindowCount counting = {pid, className, 0};
    EnumWindows(CountVisibleWindows, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

BOOL CALLBACK CountVisibleMenus(HWND window, LPARAM param) {
    if (ClassOf(window) == L"#32768" && IsWindowVisible(window)) {
        ++*reinterpret_cast<int*>(param);
    }
    return TRUE;
}

HWND PaneOf(HWND window) {
    return FindWindowExW(window, nullptr, kPaneClass, nullptr);
}

// WM_GETTEXT is one of the messages Wine and Windows copy between processes.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::string Bounds(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
           std::to_string(r.bottom - r.top);
}

// A caption button's centre (the close box, the minimise box) on the middle line of the caption,
// found by asking the window itself.
bool FindCaptionButton(HWND window, LRESULT button, POINT* centre) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    const LONG y = frame.top + (client.y - frame.top) / 2;
    LONG first = -1, last = -1;
    for (LONG x = frame.right - 1; x > frame.right - 120 && x > frame.left; --x) {
        DWORD_PTR hit = HTNOWHERE;
        SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kMessageTimeoutMs, &hit);
        if (static_cast<LRESULT>(hit) == button) {
            last = last < 0 ? x : last;
            first = x;
        } else if (last >= 0) {
            break;
        }
    }
    if (last < 0) {
        return false;
    }
    *centre = {(first + last) / 2, y};
    return true;
}

std::string RunningProcesses() {
    std::string names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return "?";
    }
    PROCESSENTRY32W entry = {.dwSize = sizeof entry};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        names += (names.empty() ? "" : ",") + Narrow(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return names;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The program's private committed bytes, for telling growth that tracks the pane's text from a leak.
// Windows counts the same commit charge in PrivateUsage and PagefileUsage; Wine 8 leaves PrivateUsage
// at zero and gives the process's resident anonymous memory and swap, read from Linux, as PagefileUsage.
std::string PrivateBytes(DWORD pid) {
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS_EX counters = {.cb = sizeof counters};
    if (!process ||
        !GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        return "?";
    }
    return std::to_string(counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage);
}

void DescribeWindow(HWND window, Facts& facts) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &pid);
    facts.Hex("hwnd", reinterpret_cast<ULONG_PTR>(window));
    facts.Add("pid", pid);
    facts.Add("class", Narrow(ClassOf(window)));
    wchar_t caption[256] = L"";
    InternalGetWindowText(window, caption, 256);
    facts.Add("caption", Escaped(caption));
    facts.Hex("style", static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
    facts.Hex("exstyle", static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));

    RECT client = {}, frame = {}, area = {};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    facts.Add("client_size", std::to_string(client.right) + "," + std::to_string(client.bottom));
    facts.Add("client_origin", std::to_string(origin.x) + "," + std::to_string(origin.y));
    facts.Rect("window_rect", frame);
    facts.Rect("work_area", area);
    facts.Add("zoomed", IsZoomed(window) ? 1 : 0);
    facts.Add("iconic", IsIconic(window) ? 1 : 0);
    facts.Add("visible", IsWindowVisible(window) ? 1 : 0);
    facts.Add("foreground", GetForegroundWindow() == window ? 1 : 0);

    // The other process's active and focus windows are known only through its GUI thread's record.
    GUITHREADINFO gui = {.cbSize = sizeof gui};
    const bool known = GetGUIThreadInfo(thread, &gui) != FALSE;
    const HWND pane = PaneOf(window);
    facts.Add("active", known && gui.hwndActive == window ? 1 : 0);
    facts.Add("focus_class", known && gui.hwndFocus ? Narrow(ClassOf(gui.hwndFocus)) : "");
    facts.Add("focus_is_pane", known && pane && gui.hwndFocus == pane ? 1 : 0);
    facts.Add("capture", known && gui.hwndCapture ? 1 : 0);

    int index = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        const std::string key = "child" + std::to_string(index);
        facts.Add(key, Narrow(ClassOf(child)) + "," + Bounds(child));
        facts.Hex(key + ".style", static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)));
    }
    facts.Add("children", index);
    facts.Add("pane_text", pane ? Escaped(TextOf(pane)) : "<no pane>");
    if (pane) {
        // With null pointers EM_GETSEL answers in its result, which needs no copying between processes.
        DWORD_PTR selection = 0;
        SendMessageTimeoutW(pane, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &selection);
        facts.Add("pane_selection", std::to_string(LOWORD(selection)) + "," + std::to_string(HIWORD(selection)));
        DWORD_PTR limit = 0;
        SendMessageTimeoutW(pane, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &limit);
        facts.Add("pane_text_limit", static_cast<long long>(limit));
    }

    int menus = 0;
    EnumWindows(CountVisibleMenus, reinterpret_cast<LPARAM>(&menus));
    facts.Add("popup_menus", menus);
    // Message boxes and other dialogs, from this program or from any helper it may have started.
    facts.Add("own_visible_windows", VisibleTopLevelWindows(pid, nullptr));
    facts.Add("visible_dialogs", VisibleTopLevelWindows(0, L"#32770"));
    facts.Add("private_bytes", PrivateBytes(pid));
    for (const auto& [key, button] : {std::pair{"close_box", HTCLOSE}, std::pair{"min_box", HTMINBUTTON}}) {
        POINT centre = {};
        if (FindCaptionButton(window, button, &centre)) {
            facts.Add(key, std::to_string(centre.x) + "," + std::to_string(centre.y));
        }
    }
}

void DescribeDesktop(Facts& facts) {
    HDC screen = GetDC(nullptr);
    facts.Add("screen_dpi", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    facts.Rgb("sys_btnshadow", GetSysColor(COLOR_BTNSHADOW));
    facts.Rgb("sys_btnhighlight", GetSysColor(COLOR_BTNHIGHLIGHT));
    facts.Add("processes", RunningProcesses());
}

// Waits, within bounds, for a main window to exist and for its process to wait for input, so that
// the facts describe a program that has finished starting.
std::vector<HWND> ReadyMainWindows(DWORD pid) {
    std::vector<HWND> windows = MainWindows(pid);
    for (int i = 0; i < 400 && windows.empty(); ++i) {
        Sleep(50);
        windows = MainWindows(pid);
    }
    if (!windows.empty()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(windows.front(), &owner);
        if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, owner)) {
            WaitForInputIdle(process, 20000);
            CloseHandle(process);
        }
    }
    return windows;
}

int WriteFacts(const std::wstring& out, DWORD pid) {
    Facts facts;
    const std::vector<HWND> windows = ReadyMainWindows(pid);
    facts.Add("window_count", static_cast<long long>(windows.size()));
    if (!windows.empty()) {
        DescribeWindow(windows.front(), facts);
    }
    DescribeDesktop(facts);
    return facts.WriteTo(out) ? 0 : 2;
}

// Memory inside the other process, for the rich-edit messages whose pointers Wine does not copy.
class RemoteBlock {
public:
    RemoteBlock(HWND window, SIZE_T size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) {
            base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        }
    }
    ~RemoteBlock() {
        if (base_) {
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        }
        if (process_) {
            CloseHandle(process_);
        }
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return base_ != nullptr; }
    char* at(SIZE_T offset) const { return base_ + offset; }
    template <typename T>
    bool Put(SIZE_T offset, const T& value) {
        return WriteProcessMemory(process_, base_ + offset, &value, sizeof value, nullptr) != 0;
    }
    template <typename T>
    bool Get(SIZE_T offset, T* value) const {
        return ReadProcessMemory(process_, base_ + offset, value, sizeof *value, nullptr) != 0;
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

// Reads the formats character by character through the selection, then puts the selection back.
int WriteRuns(const std::wstring& out) {
    Facts facts;
    const std::vector<HWND> windows = MainWindows(0);
    const HWND pane = windows.empty() ? nullptr : PaneOf(windows.front());
    // Places in the block, each far enough from the next (CHARFORMAT2W is not standard-layout in C++).
    constexpr SIZE_T saved = 0, select = 32, range = 64, unit = 128, format = 256, blockSize = 1024;
    static_assert(format + sizeof(CHARFORMAT2W) <= blockSize && range + sizeof(TEXTRANGEW) <= unit);
    RemoteBlock remote(pane, blockSize);
    if (!pane || !remote.ok()) {
        facts.Add("error", pane ? "no memory in the program's process" : "no pane");
        facts.WriteTo(out);
        return 2;
    }
    SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(remote.at(saved)));
    const LONG length = static_cast<LONG>(SendMessageW(pane, WM_GETTEXTLENGTH, 0, 0));

    struct Run {
        std::wstring text;
        DWORD effects;
        COLORREF colour;
    };
    std::vector<Run> runs;
    for (LONG i = 0; i < length; ++i) {
        const TEXTRANGEW one = {{i, i + 1}, reinterpret_cast<wchar_t*>(remote.at(unit))};
        remote.Put(range, one);
        if (SendMessageW(pane, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(remote.at(range))) != 1) {
            break;  // past the end: WM_GETTEXTLENGTH counts each paragraph break as CR LF
        }
        wchar_t c[2] = {};
        remote.Get(unit, &c);
        remote.Put(select, CHARRANGE{i, i + 1});
        SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(remote.at(select)));
        CHARFORMAT2W request = {};
        request.cbSize = sizeof request;
        remote.Put(format, request);
        SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(remote.at(format)));
        CHARFORMAT2W got = {};
        remote.Get(format, &got);
        const DWORD effects = got.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_AUTOCOLOR);
        const std::wstring text = c[0] == L'\r' ? L"\r\n" : std::wstring(1, c[0]);
        if (!runs.empty() && runs.back().effects == effects && runs.back().colour == got.crTextColor) {
            runs.back().text += text;
        } else {
            runs.push_back({text, effects, got.crTextColor});
        }
    }
    SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(remote.at(saved)));

    facts.Add("runs", static_cast<long long>(runs.size()));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string key = "run" + std::to_string(i);
        const Run& r = runs[i];
        std::string style;
        style += r.effects & CFE_BOLD ? "b" : "";
        style += r.effects & CFE_ITALIC ? "i" : "";
        style += r.effects & CFE_UNDERLINE ? "u" : "";
        style += r.effects & CFE_STRIKEOUT ? "s" : "";
        facts.Add(key + ".style", style);
        if (r.effects & CFE_AUTOCOLOR) {
            facts.Add(key + ".colour", "auto");
        } else {
            facts.Rgb(key + ".colour", r.colour);
        }
        facts.Add(key + ".text", Escaped(r.text));
    }
    return facts.WriteTo(out) ? 0 : 2;
}

// Pumps this thread's messages while waiting, so that a window of the probe's own stays alive.
DWORD WaitPumping(HANDLE object, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return WAIT_TIMEOUT;
        }
        const DWORD left = static_cast<DWORD>(deadline - now);
        const DWORD woke = object ? MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_ALLINPUT)
                                  : MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 50 ? left : 50, QS_ALLINPUT);
        if (object && woke == WAIT_OBJECT_0) {
            return WAIT_OBJECT_0;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!object) {
            return WAIT_TIMEOUT;
        }
    }
}

// With show command 7 the probe first makes a window of its own the foreground one, so that the
// facts tell whether the program took the activation away from it.
HWND MakeOwnForegroundWindow() {
    HWND own = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 120, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(own);
    for (int i = 0; i < 100 && GetForegroundWindow() != own; ++i) {
        WaitPumping(nullptr, 50);
    }
    return own;
}

int Launch(const std::wstring& out, int show, const std::wstring& exe) {
    HWND own = show == SW_SHOWMINNOACTIVE ? MakeOwnForegroundWindow() : nullptr;
    const bool ownWasForeground = own && GetForegroundWindow() == own;

    STARTUPINFOW startup = {.cb = sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Facts facts;
        facts.Add("error", "CreateProcess failed: " + std::to_string(GetLastError()));
        facts.WriteTo(out);
        return 2;
    }
    // The program is idle once it waits for input in its loop, after it has shown its window.
    WaitForInputIdle(process.hProcess, 30000);
    for (int i = 0; i < 200 && MainWindows(process.dwProcessId).empty(); ++i) {
        WaitPumping(nullptr, 50);
    }
    Facts facts;
    const std::vector<HWND> windows = MainWindows(process.dwProcessId);
    facts.Add("window_count", static_cast<long long>(windows.size()));
    if (!windows.empty()) {
        DescribeWindow(windows.front(), facts);
    }
    facts.Add("launched_pid", process.dwProcessId);
    if (own) {
        facts.Add("probe_was_foreground", ownWasForeground ? 1 : 0);
        facts.Add("probe_is_foreground", GetForegroundWindow() == own ? 1 : 0);
    }
    DescribeDesktop(facts);
    facts.WriteTo(out);

    Facts ending;
    if (WaitPumping(process.hProcess, 60000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        ending.Add("exitcode", code);
    } else {
        ending.Add("exitcode", "timeout");
        TerminateProcess(process.hProcess, 255);
    }
    ending.WriteTo(out + L".exit");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (own) {
        DestroyWindow(own);
    }
    return 0;
}

int Close(const std::wstring& out) {
    Facts facts;
    const std::vector<HWND> windows = MainWindows(0);
    facts.Add("window_count", static_cast<long long>(windows.size()));
    if (!windows.empty()) {
        facts.Add("posted", PostMessageW(windows.front(), WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0);
    }
    return facts.WriteTo(out) ? 0 : 2;
}

int Clipboard(const std::wstring& out, const wchar_t* text) {
    Facts facts;
    bool opened = false;
    for (int i = 0; i < 50 && !(opened = OpenClipboard(nullptr)); ++i) {
        Sleep(20);  // another process holds it for a moment; retried a bounded number of times
    }
    if (opened && text) {
        EmptyClipboard();
        const SIZE_T bytes = (lstrlenW(text) + 1) * sizeof(wchar_t);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(data), text, bytes);
        GlobalUnlock(data);
        facts.Add("set", SetClipboardData(CF_UNICODETEXT, data) ? 1 : 0);
    }
    std::wstring now;
    if (opened) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            now = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    facts.Add("opened", opened ? 1 : 0);
    facts.Add("clipboard", Escaped(now));
    return facts.WriteTo(out) ? 0 : 2;
}

int Load(const std::wstring& out, int count, wchar_t** names) {
    Facts facts;
    for (int i = 0; i < count; ++i) {
        const HMODULE module = LoadLibraryW(names[i]);
        wchar_t path[MAX_PATH] = L"";
        if (module) {
            GetModuleFileNameW(module, path, MAX_PATH);
        }
        facts.Add(Narrow(names[i]), Escaped(path));
    }
    return facts.WriteTo(out) ? 0 : 2;
}

bool ParseColours(int count, wchar_t** settings, test_support::SchemeRequest& request, Facts& facts) {
    request.count = 0;
    for (int i = 0; i < count && i < 32; ++i) {
        const std::wstring setting = settings[i];
        const std::size_t equals = setting.find(L'=');
        if (equals == std::wstring::npos) {
            facts.Add("error", "not INDEX=RRGGBB: " + Narrow(setting));
            return false;
        }
        const unsigned long rgb = std::wcstoul(setting.c_str() + equals + 1, nullptr, 16);
        request.indices[request.count] = std::stoi(setting.substr(0, equals));
        request.values[request.count++] = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
    }
    return true;
}

void AddSystemColours(Facts& facts) {
    for (int index = 0; index <= COLOR_MENUBAR; ++index) {
        facts.Rgb("sys" + std::to_string(index), GetSysColor(index));
    }
}

// Every system colour by its GetSysColor index, as "sysN=rrggbb", then the change asked for.
int SysColors(const std::wstring& out, int count, wchar_t** settings) {
    Facts facts;
    AddSystemColours(facts);
    test_support::SchemeRequest request = {};
    if (!ParseColours(count, settings, request, facts)) {
        facts.WriteTo(out);
        return 2;
    }
    if (request.count != 0) {
        facts.Add("set", SetSysColors(request.count, request.indices, request.values) ? 1 : 0);
    }
    return facts.WriteTo(out) ? 0 : 2;
}

struct ViewUnmapper {
    void operator()(void* view) const { UnmapViewOfFile(view); }
};
struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
struct Unhooker {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

int Scheme(const std::wstring& out, int count, wchar_t** settings) {
    Facts facts;
    AddSystemColours(facts);
    const std::vector<HWND> windows = MainWindows(0);
    const UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof(test_support::SchemeRequest),
                                                  test_support::kSchemeRequestName));
    const std::unique_ptr<void, ViewUnmapper> view(
        mapping ? MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(test_support::SchemeRequest))
                : nullptr);
    auto* request = static_cast<test_support::SchemeRequest*>(view.get());
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer> hooks(LoadLibraryW(L"scheme_hook.dll"));
    const auto hook =
        hooks ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hooks.get(), "SchemeHook")))
              : nullptr;
    if (windows.empty() || !request || !hook || !ParseColours(count, settings, *request, facts)) {
        facts.Add("error", windows.empty() ? "no window" : "no request block or hook");
        return facts.WriteTo(out) ? 0 : 2;
    }
    request->done = 0;
    const DWORD thread = GetWindowThreadProcessId(windows.front(), nullptr);
    const std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhooker> installed(
        SetWindowsHookExW(WH_GETMESSAGE, hook, hooks.get(), thread));
    PostThreadMessageW(thread, test_support::kApplyScheme, 0, 0);
    for (int i = 0; i < 200 && request->done == 0; ++i) {
        Sleep(50);
    }
    facts.Add("set", request->done);
    return facts.WriteTo(out) ? 0 : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: probe OUT facts|runs|close|clipboard [TEXT]|load NAME...|launch SHOW EXE\n", stderr);
        return 2;
    }
    const std::wstring out = argv[1], mode = argv[2];
    if (mode == L"facts") {
        return WriteFacts(out, 0);
    }
    if (mode == L"runs") {
        return WriteRuns(out);
    }
    if (mode == L"close") {
        return Close(out);
    }
    if (mode == L"clipboard") {
        return Clipboard(out, argc > 3 ? argv[3] : nullptr);
    }
    if (mode == L"load") {
        return Load(out, argc - 3, argv + 3);
    }
    if (mode == L"accessible") {
        return WriteAccessible(out, argc - 3, argv + 3);
    }
    if (mode == L"syscolors") {
        return SysColors(out, argc - 3, argv + 3);
    }
    if (mode == L"scheme") {
        return Scheme(out, argc - 3, argv + 3);
    }
    if (mode == L"act" && argc > 4) {
        return ActOn(out, argv[3], argv[4]);
    }
    if (mode == L"listen") {
        return Listen(out);
    }
    if (mode == L"modules") {
        return WriteModules(out);
    }
    if (mode == L"launch" && argc > 4) {
        return Launch(out, _wtoi(argv[3]), argv[4]);
    }
    std::fputs("probe: unknown mode\n", stderr);
    return 2;
}
