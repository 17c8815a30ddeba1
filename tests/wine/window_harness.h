// In-process harness for the main window under Wine: creates fiche_ppal, drives it with real window
// messages, and reads back what the result pane holds, run by run.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <memory>
#include <string>
#include <vector>

#include "support/utf.h"
#include "ui/ppal.h"

namespace test_support {

struct PaneRun {
    std::string text;  // UTF-8, paragraph breaks as CR LF
    bool bold = false, italic = false, underline = false, strikeOut = false;
    COLORREF colour = 0;
    bool operator==(const PaneRun&) const = default;
};

inline void PrintTo(const PaneRun& run, std::ostream* out) {
    *out << "{\"" << run.text << "\"" << (run.bold ? " bold" : "") << (run.italic ? " italic" : "")
         << (run.underline ? " underline" : "") << (run.strikeOut ? " strikeout" : "") << " colour 0x" << std::hex
         << run.colour << std::dec << "}";
}

struct ShellCall {
    HWND owner;
    std::wstring verb, file;
    bool parametersNull, directoryNull;
    INT show;
};

class WindowHarness {
public:
    explicit WindowHarness(int dpi = 96) {
        shellCalls().clear();
        window_ = std::make_unique<orbelin::Tfiche_ppal>();
        window_->SetShellOpen(RecordShellCall);
        created_ = window_->Create(GetModuleHandleW(nullptr), dpi);
        if (created_) {
            window_->Show(orbelin::InitialShow::Normal);
            Pump();
        }
    }
    ~WindowHarness() {
        window_.reset();
        Pump();
    }

    bool created() const { return created_; }
    orbelin::Tfiche_ppal& window() { return *window_; }
    HWND handle() const { return window_->handle(); }
    HWND pane() const { return window_->reponse1; }

    // Dispatches everything queued; remembers a quit request instead of acting on it.
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitRequested_ = true;
                quitCode_ = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    bool quitRequested() const { return quitRequested_; }
    int quitCode() const { return quitCode_; }

    POINT Centre(orbelin::ControlId id) const {
        const orbelin::Rect r = window_->Bounds(id);
        return {r.left + r.width / 2, r.top + r.height / 2};
    }

    // Sends a mouse message as the system would, with MK_LBUTTON while the left button is held.
    void Mouse(HWND target, UINT message, POINT at) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
            held_ = true;
        } else if (message == WM_LBUTTONUP) {
            held_ = false;
        }
        SendMessageW(target, message, held_ ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
        Pump();
    }

    void Click(orbelin::ControlId button) {
        const POINT at = Centre(button);
        Mouse(handle(), WM_MOUSEMOVE, at);
        Mouse(handle(), WM_LBUTTONDOWN, at);
        Mouse(handle(), WM_LBUTTONUP, at);
    }

    std::u16string PaneText() const {
        GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE | GTL_USECRLF, 1200};
        const auto length = SendMessageW(pane(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        GETTEXTEX request = {static_cast<DWORD>(text.size() * sizeof(char16_t)), GT_USECRLF, 1200, nullptr, nullptr};
        const auto copied = SendMessageW(pane(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied));
        return text;
    }

    // The pane's content as runs of equal formatting, read character by character.
    std::vector<PaneRun> PaneRuns() const {
        std::vector<PaneRun> runs;
        GETTEXTLENGTHEX query = {GTL_DEFAULT, 1200};
        const auto length =
            static_cast<LONG>(SendMessageW(pane(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
        for (LONG i = 0; i < length; ++i) {
            wchar_t unit[2] = {};
            TEXTRANGEW range = {{i, i + 1}, unit};
            SendMessageW(pane(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
            CHARRANGE select = {i, i + 1};
            SendMessageW(pane(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&select));
            CHARFORMAT2W format = {};
            format.cbSize = sizeof format;
            SendMessageW(pane(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
            PaneRun run = {.text = {},
                           .bold = (format.dwEffects & CFE_BOLD) != 0,
                           .italic = (format.dwEffects & CFE_ITALIC) != 0,
                           .underline = (format.dwEffects & CFE_UNDERLINE) != 0,
                           .strikeOut = (format.dwEffects & CFE_STRIKEOUT) != 0,
                           .colour = format.crTextColor};
            if (unit[0] == L'\n' && !runs.empty() && runs.back().text.ends_with("\r\n")) {
                continue;  // the LF of a CR LF pair the control kept as two characters
            }
            run.text = unit[0] == L'\r' ? std::string("\r\n") : Utf8(std::u16string(1, char16_t(unit[0])));
            if (!runs.empty() && SameFormat(runs.back(), run)) {
                runs.back().text += run.text;
            } else {
                runs.push_back(run);
            }
        }
        return runs;
    }

    static std::vector<ShellCall>& shellCalls() {
        static std::vector<ShellCall> calls;
        return calls;
    }

private:
    static bool SameFormat(const PaneRun& a, const PaneRun& b) {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.strikeOut == b.strikeOut &&
               a.colour == b.colour;
    }

    static HINSTANCE WINAPI
    RecordShellCall(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show) {
        shellCalls().push_back(
            {owner, verb ? verb : L"", file ? file : L"", parameters == nullptr, directory == nullptr, show});
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
    }

    std::unique_ptr<orbelin::Tfiche_ppal> window_;
    bool created_ = false;
    bool quitRequested_ = false;
    int quitCode_ = -1;
    bool held_ = false;
};

}  // namespace test_support
