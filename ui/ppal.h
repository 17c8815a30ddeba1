// Tfiche_ppal, the program's only window: two headings, the framed work area with the check button
// and the read-only result pane, a quit button and two links. The labels, the frame and the flat
// buttons are painted on the window itself; the links and the pane are child windows.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

#include "ui/accessible_tree.h"
#include "ui/dpi.h"
#include "ui/flat_button.h"
#include "ui/glyph.h"
#include "ui/palette.h"
#include "ui/ppal_accessible.h"
#include "ui/text_style.h"
#include "ui/win32/accessibility_api.h"
#include "ui/win32/handles.h"
#include "ui/win32/pane_runs.h"
#include "ui/win32/toolbar_theme.h"
#include "ui/window_description.h"
#include "ui/window_placement.h"

namespace orbelin {

class Tfiche_ppal {
public:
    // The shell call the link handlers make; replaceable so tests can see what would be opened.
    using ShellOpenFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

    Tfiche_ppal();
    ~Tfiche_ppal();
    Tfiche_ppal(const Tfiche_ppal&) = delete;
    Tfiche_ppal& operator=(const Tfiche_ppal&) = delete;

    // Creates the window, hidden, laid out for `dpi` (0: the density the system reports).
    bool Create(HINSTANCE instance, int dpi = 0);
    void Show(InitialShow show);
    HWND handle() const { return window_.get(); }

    void AddlText(std::u16string_view AText, TFontStyles AStyle, TColor AColor);
    void LectureSmartCard();

    void controle_btnClick(const ControlDescription& Sender);
    void btn_quitClick(const ControlDescription& Sender);
    void lbl_link2Click(const ControlDescription& Sender);
    void lbl_link3Click(const ControlDescription& Sender);

    void SetShellOpen(ShellOpenFunction open) { shellOpen_ = open; }

    // Child windows, and the painted buttons' pointer state.
    HWND lbl_link2 = nullptr;
    HWND lbl_link3 = nullptr;
    HWND reponse1 = nullptr;
    FlatButtonState btn_quit;
    FlatButtonState controle_btn;

    // Client-area bounds of a control as laid out for this window's density.
    Rect Bounds(ControlId id) const { return bounds_[static_cast<std::size_t>(id)]; }
    // The child window of a link label or of the pane; null for the painted controls.
    HWND ChildWindow(ControlId id) const;
    const FlatButtonState& ButtonState(ControlId id) const;
    // Whether the window draws in its own colours or, under any other system scheme, in the system's.
    ColourMode colourMode() const { return colourMode_; }

    // Assistive technology: the words of the latest report (empty before the first check), and a
    // button's or link's click run from the message loop, as a default action asks.
    std::u16string_view LastReport() const { return lastReport_.view(); }
    void RequestClick(ControlId id) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK
    LinkProc(HWND link, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK
    PaneProc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    void OnCreate();
    void OnPaint();
    void OnActivate(WPARAM wparam);
    void OnMouseMove(Point at);
    void OnMouseLeave();
    void OnLeftButtonDown(Point at);
    void OnLeftButtonUp(Point at);
    void OnCaptureChanged();
    bool OnSetCursor(HWND over, int hitTest);
    LRESULT OnControlColour(HDC dc);
    // The system's colours or high contrast changed: decide the mode again and redraw everything in it.
    void OnColoursChanged();
    void ChooseColours();
    COLORREF TextColour(PaletteElement element) const;
    COLORREF BackgroundColour(PaletteElement element) const;
    LRESULT OnGetObject(WPARAM wparam, LPARAM lparam);
    // The window's accessible object for a WM_GETOBJECT asking for its client area, which the link
    // labels answer with too; 0 when the request is another or the object cannot be had.
    LRESULT ClientObject(WPARAM wparam, LPARAM lparam);
    bool PrepareAccessibility();
    void DisconnectAccessibility();
    void OnRequestedClick(WPARAM control);

    void LayOut();
    void CreateFonts();
    void LoadGlyphs();
    void CreateLinks();
    HWND CreateLink(const ControlDescription& link);
    void RecreateLinks();
    void CreatePane();
    // The pane's background, and with `runs` every earlier run, in the colours of the current mode.
    void RecolourPane(bool runs);

    void PaintLabel(HDC dc, const ControlDescription& label) const;
    void PaintBevel(HDC dc, const ControlDescription& bevel) const;
    void PaintFlatButton(HDC dc, PixelBuffer pixels, const ControlDescription& button) const;

    FlatButtonState& ButtonState(ControlId id);
    // Repaints the button and tells accessibility clients that its states changed.
    void ButtonLookChanged(ControlId id);
    // Tells screen readers that a new report, in these words, is to be announced.
    void AnnounceReport(const Announcement& report);
    void RunClick(ControlId id);
    void OpenAddress(std::u16string_view url);
    LRESULT LinkMessage(HWND link, ControlId id, UINT message, WPARAM wparam, LPARAM lparam);

    HINSTANCE instance_ = nullptr;
    int dpi_ = kDesignDpi;
    ShellOpenFunction shellOpen_;
    Rect bounds_[kControlCount] = {};
    win32::UniqueFont fonts_[kControlCount];
    GlyphImage quitGlyph_;
    GlyphImage controleGlyph_;
    win32::UniqueBrush background_;
    ColourMode colourMode_ = ColourMode::Default;
    // The system colours the window and its children are drawn in, as they were last seen.
    std::array<COLORREF, 4> schemeColours_ = {};
    win32::PaneRuns paneRuns_;
    win32::ToolbarTheme theme_;
    bool trackingLeave_ = false;
    HWND pressedLink_ = nullptr;
    // Active Accessibility, set up on a client's first request and only then, and never once the
    // window is being destroyed.
    static constexpr UINT kRequestedClick = WM_APP;
    win32::AccessibilityApi accessibility_;
    win32::UniqueCom<AccessibleFichePpal> accessible_;
    win32::LiveRegion announcementLiveRegion_;
    Announcement lastReport_;
    bool destroying_ = false;
    // Declared before the window so that it outlives the pane created from it.
    win32::UniqueLibrary richEdit_;
    win32::UniqueWindow window_;
};

}  // namespace orbelin
