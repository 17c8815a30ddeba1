// Start-up time and peak working set of two window programs, measured alternately from inside the
// same Wine session: each run starts one program, polls until a top-level window of its process is
// visible, waits for it to go idle (first paint done), reads its PeakWorkingSetSize, then closes it.
//   startup_probe PAIRS PROGRAM_A PROGRAM_B     programs relative to this probe's folder
// Prints one line per run, then medians and the A/B ratios as "name value unit" lines.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kVisibleTimeoutMs = 10000;
constexpr DWORD kIdleTimeoutMs = 5000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr int kWarmUpPairs = 1;  // the first starts after the session starts pay for cold caches

struct Run {
    double startupMs = 0;
    double idleMs = 0;   // from visible to idle
    double closeMs = 0;  // from WM_CLOSE to the end of the process
    SIZE_T peakWorkingSet = 0;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lparam) {
    auto* search = reinterpret_cast<WindowSearch*>(lparam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring BesideThisProbe(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

bool Measure(const std::wstring& program, Run& run) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + program + L"\"";

    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "startup_probe: cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return false;
    }
    WindowSearch search = {process.dwProcessId, nullptr};
    LARGE_INTEGER now = started;
    while (search.found == nullptr && Milliseconds(started, now) < kVisibleTimeoutMs) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        if (search.found == nullptr) {
            Sleep(1);
        }
    }
    bool ok = search.found != nullptr;
    if (ok) {
        run.startupMs = Milliseconds(started, now);
        WaitForInputIdle(process.hProcess, kIdleTimeoutMs);
        LARGE_INTEGER idle;
        QueryPerformanceCounter(&idle);
        run.idleMs = Milliseconds(now, idle);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
            run.peakWorkingSet = counters.PeakWorkingSetSize;
        }
        QueryPerformanceCounter(&now);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    } else {
        std::fprintf(stderr, "startup_probe: no visible window from %ls within %lu ms\n", program.c_str(),
                     kVisibleTimeoutMs);
    }
    const bool exited = WaitForSingleObject(process.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0;
    LARGE_INTEGER ended;
    QueryPerformanceCounter(&ended);
    run.closeMs = Milliseconds(now, ended);
    if (!exited) {
        std::fprintf(stderr, "startup_probe: %ls did not exit on WM_CLOSE\n", program.c_str());
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
        ok = false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

template <class T>
double Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? static_cast<double>(values[n / 2])
                 : (static_cast<double>(values[n / 2 - 1]) + static_cast<double>(values[n / 2])) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 || std::wcstol(argv[1], nullptr, 10) < 1) {
        std::fprintf(stderr, "usage: startup_probe PAIRS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    const int pairs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    const std::wstring programs[2] = {BesideThisProbe(argv[2]), BesideThisProbe(argv[3])};
    std::wstring names[2] = {argv[2], argv[3]};
    for (std::wstring& name : names) {
        name = name.substr(0, name.rfind(L".exe"));  // for the figures' names
    }

    std::vector<double> startup[2];
    std::vector<SIZE_T> memory[2];
    for (int pair = -kWarmUpPairs; pair < pairs; ++pair) {
        for (int which = 0; which < 2; ++which) {
            Run run;
            if (!Measure(programs[which], run)) {
                return 1;
            }
            if (pair < 0) {
                continue;
            }
            std::printf(
                "run %d %ls: visible after %.1f ms, idle %.1f ms later, peak working set %llu bytes, "
                "gone %.1f ms after WM_CLOSE\n",
                pair + 1, names[which].c_str(), run.startupMs, run.idleMs,
                static_cast<unsigned long long>(run.peakWorkingSet), run.closeMs);
            startup[which].push_back(run.startupMs);
            memory[which].push_back(run.peakWorkingSet);
        }
    }
    const double startupA = Median(startup[0]), startupB = Median(startup[1]);
    const double memoryA = Median(memory[0]), memoryB = Median(memory[1]);
    std::printf("startup_median_%ls %.1f ms\n", names[0].c_str(), startupA);
    std::printf("startup_median_%ls %.1f ms\n", names[1].c_str(), startupB);
    std::printf("startup_ratio %.2f x\n", startupA / startupB);
    std::printf("peak_working_set_%ls %.0f bytes\n", names[0].c_str(), memoryA);
    std::printf("peak_working_set_%ls %.0f bytes\n", names[1].c_str(), memoryB);
    std::printf("peak_working_set_ratio %.2f x\n", memoryB > 0 ? memoryA / memoryB : 0.0);
    return 0;
}
