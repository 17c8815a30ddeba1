// MAINICON as Windows itself reads it out of the executable's resources: every image, the 256-colour
// DIBs and the 32-bit PNGs, decoded at its own size, and the pick that LoadImage makes at each size.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48};
constexpr BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

#pragma pack(push, 2)
struct GroupEntry {  // GRPICONDIRENTRY
    BYTE width, height, colourCount, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct IconImage {
    int size = 0, bits = 0;
    WORD id = 0;
    const BYTE* data = nullptr;
    DWORD bytes = 0;
};

const BYTE* ResourceBytes(LPCWSTR name, LPCWSTR type, DWORD* bytes) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, type);
    *bytes = found ? SizeofResource(module, found) : 0;
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
}

const BYTE* IconGroup() {
    DWORD bytes = 0;
    return ResourceBytes(L"MAINICON", RT_GROUP_ICON, &bytes);
}

std::vector<IconImage> MainIconImages() {
    std::vector<IconImage> images;
    const BYTE* group = IconGroup();
    if (!group) {
        return images;
    }
    WORD count = 0;
    std::memcpy(&count, group + 4, sizeof count);
    for (WORD i = 0; i < count; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        IconImage image{.size = entry.width, .bits = entry.bits, .id = entry.id};
        image.data = ResourceBytes(MAKEINTRESOURCEW(entry.id), RT_ICON, &image.bytes);
        images.push_back(image);
    }
    return images;
}

const IconImage* Find(const std::vector<IconImage>& images, int size, int bits) {
    for (const IconImage& image : images) {
        if (image.size == size && image.bits == bits) {
            return &image;
        }
    }
    return nullptr;
}

// What an icon shows, read back through GDI: BGRA colour pixels and whether each is drawn (AND mask 0).
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> colour;
    std::vector<bool> masked;
};

std::vector<std::uint32_t> Bits32(HBITMAP bitmap, int width, int height) {
    BITMAPINFO request = {};
    request.bmiHeader = {.biSize = sizeof request.bmiHeader,
                         .biWidth = width,
                         .biHeight = -height,
                         .biPlanes = 1,
                         .biBitCount = 32,
                         .biCompression = BI_RGB};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

Picture Read(HICON icon) {
    Picture picture;
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) {
        return picture;
    }
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    picture.width = bitmap.bmWidth;
    picture.height = bitmap.bmHeight;
    picture.colour = Bits32(info.hbmColor, bitmap.bmWidth, bitmap.bmHeight);
    for (const std::uint32_t pixel : Bits32(info.hbmMask, bitmap.bmWidth, bitmap.bmHeight)) {
        picture.masked.push_back((pixel & 0xFFFFFF) != 0);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return picture;
}

Picture Decode(const IconImage& image) {
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.bytes, TRUE, 0x00030000, image.size,
                                          image.size, LR_DEFAULTCOLOR);
    Picture picture = Read(icon);
    DestroyIcon(icon);
    return picture;
}

int Alpha(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

int ColourDistance(std::uint32_t a, std::uint32_t b) {
    int widest = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int gap = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        widest = gap > widest ? gap : widest;
    }
    return widest;
}

TEST(MainIcon, HoldsEachSizeAsA256ColourDibAndA32BitPng) {
    const std::vector<IconImage> images = MainIconImages();
    ASSERT_EQ(images.size(), 8u);
    for (const int size : kSizes) {
        for (const int bits : {8, 32}) {
            SCOPED_TRACE(testing::Message() << size << " px " << bits << "-bit");
            const IconImage* image = Find(images, size, bits);
            ASSERT_NE(image, nullptr);
            ASSERT_NE(image->data, nullptr);
            const bool png = image->bytes > 8 && std::memcmp(image->data, kPngSignature, 8) == 0;
            EXPECT_EQ(png, bits == 32);
        }
    }
}

// Windows decodes each image at its own size. The 32-bit PNG keeps its alpha, transparent at the corners,
// and draws exactly the pixels that its 256-colour sibling's mask draws, in nearly the same colours.
TEST(MainIcon, EveryImageDecodesAtItsSizeAndThePngsAgreeWithTheDibs) {
    const std::vector<IconImage> images = MainIconImages();
    for (const int size : kSizes) {
        SCOPED_TRACE(testing::Message() << size << " px");
        const IconImage* dib = Find(images, size, 8);
        const IconImage* png = Find(images, size, 32);
        ASSERT_TRUE(dib && png);
        const Picture palette = Decode(*dib);
        const Picture alpha = Decode(*png);
        ASSERT_EQ(palette.width, size);
        ASSERT_EQ(palette.height, size);
        ASSERT_EQ(alpha.width, size);
        ASSERT_EQ(alpha.height, size);

        const int last = size - 1;
        for (const int corner : {0, last, last * size, last * size + last}) {
            EXPECT_EQ(Alpha(alpha.colour[corner]), 0) << "corner " << corner;
            EXPECT_TRUE(palette.masked[corner]) << "corner " << corner;
        }
        int opaque = 0, partial = 0;
        for (std::size_t i = 0; i < alpha.colour.size(); ++i) {
            const int a = Alpha(alpha.colour[i]);
            opaque += a == 255;
            partial += a > 0 && a < 255;
            ASSERT_EQ(a >= 128, !palette.masked[i]) << "pixel " << i << " alpha " << a;
            if (a >= 128) {
                EXPECT_LE(ColourDistance(alpha.colour[i], palette.colour[i]), 24) << "pixel " << i;
            }
        }
        EXPECT_GT(opaque, size * size / 4);
        if (size >= 24) {  // the cards' drop shadows are translucent; the 16-px image has none
            EXPECT_GT(partial, 0);
        }
    }
}

// LoadImage, as the window class does, and LookupIconIdFromDirectoryEx pick an image of the asked size
// for every size the icon holds, and the icon LoadImage makes is that image.
TEST(MainIcon, LoadImageAndLookupPickTheImageOfEachSize) {
    const std::vector<IconImage> images = MainIconImages();
    const BYTE* group = IconGroup();
    ASSERT_NE(group, nullptr);
    for (const int size : kSizes) {
        SCOPED_TRACE(testing::Message() << size << " px");
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, size, size, LR_DEFAULTCOLOR);
        const IconImage* picked = nullptr;
        for (const IconImage& image : images) {
            picked = image.id == id ? &image : picked;
        }
        ASSERT_NE(picked, nullptr) << "id " << id;
        EXPECT_EQ(picked->size, size);

        HICON loaded = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        const Picture fromLoadImage = Read(loaded);
        DestroyIcon(loaded);
        const Picture fromPick = Decode(*picked);
        EXPECT_EQ(fromLoadImage.width, size);
        EXPECT_EQ(fromLoadImage.colour, fromPick.colour);
        EXPECT_EQ(fromLoadImage.masked, fromPick.masked);
    }
}

}  // namespace
