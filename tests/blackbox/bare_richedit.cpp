// What a rich-edit pane itself costs per line of report: a bare window holding a RICHEDIT20W from the
// system directory's riched20.dll, filled as the program fills its pane, and its private bytes read
// before and after. The black-box soak bounds the program's growth with the figure this prints.
//   bare_richedit [REPORTS]    failure reports (two lines each) appended after a warm-up; 1000 by default
// Prints "name value unit" lines.
#include <windows.h>

#include <psapi.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "scard/report.h"
#include "ui/win32/colour.h"

namespace {

constexpr int kDefaultReports = 1000;
constexpr int kWarmUpReports = 50;  // the control's first allocations are start-up, not growth
constexpr SIZE_T kLinesPerReport = 2;
// The program's pane, as it is laid out at 96 dpi and styled.
constexpr RECT kPane = {24, 192, 24 + 553, 192 + 185};
constexpr DWORD kPaneStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
constexpr orbelin::ResultCode kAnswer = 0x8010001Du;  // SCARD_E_NO_SERVICE

struct LibraryFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};

std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer> LoadRichEdit() {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 14 >= MAX_PATH) {
        return nullptr;
    }
    lstrcpyW(path + length, L"\\riched20.dll");
    return std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>(LoadLibraryExW(path, nullptr, 0));
}

// Windows counts the same commit charge in PrivateUsage and PagefileUsage; Wine 8 leaves PrivateUsage at
// zero and gives the process's resident anonymous memory and swap, read from Linux, as PagefileUsage.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {.cb = sizeof counters};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

DWORD EffectsFor(orbelin::TFontStyles style) {
    return (style.Contains(orbelin::fsBold) ? CFE_BOLD : 0) | (style.Contains(orbelin::fsItalic) ? CFE_ITALIC : 0) |
           (style.Contains(orbelin::fsUnderline) ? CFE_UNDERLINE : 0) |
           (style.Contains(orbelin::fsStrikeOut) ? CFE_STRIKEOUT : 0);
}

// As the program appends a run: caret to the end, the run's format, then the text, not undoable.
void Append(HWND pane, const orbelin::ReportPiece& piece) {
    GETTEXTLENGTHEX query = {GTL_DEFAULT, 1200};
    const auto end = static_cast<LONG>(SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
    CHARRANGE caret = {end, end};
    SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    SendMessageW(pane, EM_SCROLLCARET, 0, 0);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;
    format.dwEffects = EffectsFor(piece.style);
    format.crTextColor = orbelin::win32::ToColorRef(piece.color);
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const std::wstring text(piece.text.begin(), piece.text.end());
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void AppendReports(HWND pane, int reports) {
    const orbelin::Report report(kAnswer);
    for (int i = 0; i < reports; ++i) {
        for (std::size_t piece = 0; piece < report.size(); ++piece) {
            Append(pane, report[piece]);
        }
        Pump();  // painted as the program's pane is, after each check
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int reports = argc > 1 ? std::atoi(argv[1]) : kDefaultReports;
    const auto library = LoadRichEdit();
    const std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window(
        CreateWindowExW(0, L"STATIC", L"bare rich-edit", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 100, 100, 602, 452,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    const HWND pane =
        window ? CreateWindowExW(0, L"RICHEDIT20W", L"", kPaneStyle, kPane.left, kPane.top, kPane.right - kPane.left,
                                 kPane.bottom - kPane.top, window.get(), nullptr, GetModuleHandleW(nullptr), nullptr)
               : nullptr;
    if (!library || !pane) {
        std::fprintf(stderr, "bare_richedit: no rich-edit control (%lu)\n", GetLastError());
        return 1;
    }
    const std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font(
        CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SendMessageW(pane, EM_SETTARGETDEVICE, 0, 0);
    Pump();

    AppendReports(pane, kWarmUpReports);
    const SIZE_T before = PrivateBytes();
    AppendReports(pane, reports);
    const SIZE_T after = PrivateBytes();
    const SIZE_T lines = static_cast<SIZE_T>(reports) * kLinesPerReport;
    std::printf("richedit_lines %llu lines\n", static_cast<unsigned long long>(lines));
    std::printf("richedit_private_before %llu bytes\n", static_cast<unsigned long long>(before));
    std::printf("richedit_private_after %llu bytes\n", static_cast<unsigned long long>(after));
    std::printf("richedit_private_per_line %.1f bytes\n",
                after > before ? static_cast<double>(after - before) / static_cast<double>(lines) : 0.0);
    return 0;
}
