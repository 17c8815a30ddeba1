// Painting of fiche_ppal: the headings, the frame and the flat buttons, drawn into an off-screen
// 32-bit DIB (so glyphs can be drawn pixel by pixel with their transparent colour) and copied in one go.
#include <windows.h>

#include "resources/resource_ids.h"
#include "ui/bevel.h"
#include "ui/dpi.h"
#include "ui/ppal.h"
#include "ui/win32/colour.h"
#include "ui/win32/rect.h"
#include "ui/win32/wide.h"

namespace orbelin {
namespace {

win32::UniqueFont CreateFontFor(const FontDescription& font, int dpi) {
    LOGFONTW description = {};
    description.lfHeight = ScaleLength(font.height, dpi);
    description.lfWeight = font.style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.style.Contains(fsItalic);
    description.lfUnderline = font.style.Contains(fsUnderline);
    description.lfStrikeOut = font.style.Contains(fsStrikeOut);
    description.lfCharSet = DEFAULT_CHARSET;
    const std::size_t length = font.face.size() < LF_FACESIZE - 1 ? font.face.size() : LF_FACESIZE - 1;
    for (std::size_t i = 0; i < length; ++i) {
        description.lfFaceName[i] = static_cast<wchar_t>(font.face[i]);
    }
    return win32::UniqueFont(CreateFontIndirectW(&description));
}

void LoadGlyph(HINSTANCE instance, const wchar_t* name, GlyphImage& glyph) {
    HRSRC resource = FindResourceW(instance, name, MAKEINTRESOURCEW(2));  // RT_BITMAP
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes != nullptr) {
        DecodeGlyphDib(static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, resource), glyph);
    }
}

// A top-down 32-bit DIB section selected into a memory DC, the size of the client area.
class BackBuffer {
public:
    BackBuffer(HDC target, Size size) : dc_(CreateCompatibleDC(target)) {
        BITMAPINFO info = {};
        info.bmiHeader = {.biSize = sizeof info.bmiHeader,
                          .biWidth = size.width,
                          .biHeight = -size.height,
                          .biPlanes = 1,
                          .biBitCount = 32,
                          .biCompression = BI_RGB};
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bitmap_ && dc_) {
            pixels_ = {static_cast<std::uint32_t*>(bits), size.width, size.height};
            selection_ = SelectObject(dc_.get(), bitmap_.get());
        }
    }
    ~BackBuffer() {
        if (selection_ != nullptr) {
            SelectObject(dc_.get(), selection_);
        }
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    bool ok() const { return pixels_.pixels != nullptr; }
    HDC dc() const { return dc_.get(); }
    PixelBuffer pixels() const { return pixels_; }

private:
    win32::UniqueMemoryDc dc_;
    win32::UniqueBitmap bitmap_;
    PixelBuffer pixels_ = {nullptr, 0, 0};
    HGDIOBJ selection_ = nullptr;
};

}  // namespace

void Tfiche_ppal::CreateFonts() {
    for (const ControlDescription& control : kFichePpal.controls) {
        fonts_[static_cast<std::size_t>(control.id)] = CreateFontFor(control.font, dpi_);
    }
}

void Tfiche_ppal::LoadGlyphs() {
    LoadGlyph(instance_, resources::kQuitGlyph, quitGlyph_);
    LoadGlyph(instance_, resources::kCheckGlyph, controleGlyph_);
}

void Tfiche_ppal::OnPaint() {
    const win32::PaintDc paint(handle());
    RECT client = {};
    GetClientRect(handle(), &client);
    const BackBuffer buffer(paint.get(), {client.right, client.bottom});
    if (!buffer.ok()) {
        return;
    }
    FillRect(buffer.dc(), &client, background_.get());
    SetBkMode(buffer.dc(), TRANSPARENT);
    for (const ControlDescription& control : kFichePpal.controls) {
        switch (control.kind) {
            case ControlKind::Label:
                PaintLabel(buffer.dc(), control);
                break;
            case ControlKind::Bevel:
                PaintBevel(buffer.dc(), control);
                break;
            case ControlKind::FlatButton:
                PaintFlatButton(buffer.dc(), buffer.pixels(), control);
                break;
            default:
                break;  // child windows paint themselves
        }
    }
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, buffer.dc(), 0, 0, SRCCOPY);
}

void Tfiche_ppal::PaintLabel(HDC dc, const ControlDescription& label) const {
    const win32::ScopedSelect font(dc, fonts_[static_cast<std::size_t>(label.id)].get());
    SetTextColor(dc, TextColour(PaletteElement::Heading));
    RECT box = win32::ToRect(Bounds(label.id));
    DrawTextW(dc, win32::Wide(label.text), static_cast<int>(label.text.size()), &box,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
}

void Tfiche_ppal::PaintBevel(HDC dc, const ControlDescription& bevel) const {
    for (const FrameLine& line : EtchedFrame(Bounds(bevel.id))) {
        const win32::UniqueBrush brush(CreateSolidBrush(win32::ToColorRef(line.colour)));
        const RECT area = win32::ToRect(line.line);
        FillRect(dc, &area, brush.get());
    }
}

void Tfiche_ppal::PaintFlatButton(HDC dc, PixelBuffer pixels, const ControlDescription& button) const {
    const Rect bounds = Bounds(button.id);
    const ButtonLook look = ButtonState(button.id).Look();
    // A contrast scheme gets the classic edges, drawn in its own colours, rather than the visual style's.
    const bool themed = theme_.themed() && colourMode_ == ColourMode::Default;
    theme_.DrawButtonFrame(dc, win32::ToRect(bounds), look, themed);

    const win32::ScopedSelect font(dc, fonts_[static_cast<std::size_t>(button.id)].get());
    SIZE caption = {};
    GetTextExtentPoint32W(dc, win32::Wide(button.text), static_cast<int>(button.text.size()), &caption);
    const ButtonContent content =
        LayoutButtonContent(bounds, {GlyphImage::kSize, GlyphImage::kSize}, {caption.cx, caption.cy}, look, themed);
    GdiFlush();  // the frame must be in the pixels before the glyph is written over them
    DrawGlyph(button.glyph == Glyph::Quit ? quitGlyph_ : controleGlyph_, pixels, content.glyph);
    SetTextColor(dc, TextColour(PaletteElement::ButtonCaption));
    TextOutW(dc, content.caption.x, content.caption.y, win32::Wide(button.text), static_cast<int>(button.text.size()));
}

}  // namespace orbelin
