// The cost of one check as the result pane fills: the main window, created as the program creates it,
// runs LectureSmartCard() many times against the stand-in winscard.dll (which answers a failure code,
// the longest report), pumping its messages after each, and compares the last checks with the first.
// Also says how many characters the pane holds at the end against how many were written to it.
//   pane_bench [CHECKS]     2000 by default; run with the stand-in winscard.dll in the system directory
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "scard/report.h"
#include "ui/ppal.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/handles.h"

namespace {

constexpr int kDefaultChecks = 2000;
constexpr int kWindow = 200;            // checks compared at each end
constexpr char kAnswer[] = "8010001D";  // SCARD_E_NO_SERVICE

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

long PaneLength(HWND pane) {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE | GTL_USECRLF, 1200};
    return static_cast<long>(SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Links open nothing here.
HINSTANCE WINAPI OpenNothing(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

}  // namespace

int main(int argc, char** argv) {
    const int checks = argc > 1 ? std::atoi(argv[1]) : kDefaultChecks;
    if (checks < 2 * kWindow) {
        std::fprintf(stderr, "pane_bench: at least %d checks\n", 2 * kWindow);
        return 2;
    }
    SetEnvironmentVariableA("FAKE_WINSCARD_RESULTS", kAnswer);
    SetEnvironmentVariableA("FAKE_WINSCARD_LOG", nullptr);  // no file written per call: it would be timed too

    const orbelin::win32::CommonControls commonControls;  // as the program holds it, around the window
    const orbelin::win32::OleApartment apartment;
    const INITCOMMONCONTROLSEX controls = {.dwSize = sizeof controls, .dwICC = ICC_LINK_CLASS};
    orbelin::win32::InitCommonControlsEx(&controls);
    orbelin::Tfiche_ppal window;
    window.SetShellOpen(OpenNothing);
    if (!window.Create(GetModuleHandleW(nullptr), 96)) {
        std::fprintf(stderr, "pane_bench: the main window was not created\n");
        return 1;
    }
    window.Show(orbelin::InitialShow::Normal);
    Pump();

    // What one check writes, from the report itself; the pane keeps each CR LF as one character
    // internally but counts it as two here (GTL_USECRLF), like the pieces.
    const orbelin::Report report(static_cast<orbelin::ResultCode>(std::strtoul(kAnswer, nullptr, 16)));
    long perCheck = 0;
    for (std::size_t i = 0; i < report.size(); ++i) {
        perCheck += static_cast<long>(report[i].text.size());
    }

    std::vector<double> seconds(static_cast<std::size_t>(checks));
    double pumping = 0;  // of which dispatching what the check queued (painting, mostly)
    int lastGrowth = 0;
    long length = 0;
    for (int i = 0; i < checks; ++i) {
        LARGE_INTEGER before, checked, after;
        QueryPerformanceCounter(&before);
        window.LectureSmartCard();
        QueryPerformanceCounter(&checked);
        Pump();
        QueryPerformanceCounter(&after);
        seconds[static_cast<std::size_t>(i)] = Seconds(before, after);
        pumping += Seconds(checked, after);
        const long now = PaneLength(window.reponse1);
        if (i == 0 && now != perCheck) {
            std::fprintf(stderr,
                         "pane_bench: the first check wrote %ld characters, not %ld: is the stand-in "
                         "winscard.dll in the system directory (and WINEDLLOVERRIDES=winscard=n,b)?\n",
                         now, perCheck);
            return 1;
        }
        if (now > length) {
            lastGrowth = i + 1;
            length = now;
        }
    }

    double first = 0, last = 0;
    for (int i = 0; i < kWindow; ++i) {
        first += seconds[static_cast<std::size_t>(i)];
        last += seconds[static_cast<std::size_t>(checks - kWindow + i)];
    }
    std::printf("pane_checks %d checks\n", checks);
    std::printf("pane_first%d %.1f ms\n", kWindow, first * 1000);
    std::printf("pane_last%d %.1f ms\n", kWindow, last * 1000);
    std::printf("pane_last_to_first_ratio %.2f x\n", last / first);
    double total = 0;
    for (const double check : seconds) {
        total += check;
    }
    std::printf("pane_mean_check %.2f ms\n", total * 1000 / checks);
    std::printf("pane_mean_check_message_pump %.2f ms\n", pumping * 1000 / checks);
    std::printf("pane_chars_held %ld chars\n", length);
    std::printf("pane_chars_written %ld chars\n", perCheck * checks);
    std::printf("pane_last_check_that_added_text %d check\n", lastGrowth);
    return 0;
}
