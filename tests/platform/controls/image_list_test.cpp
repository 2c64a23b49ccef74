// Image lists: strips split into images, masks and transparent colours,
// icons added and replaced, removal, and drawing.
#include "platform/controls/image_list.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"

namespace {

using namespace plat;

// A strip of `count` 4 x 4 images: image n is filled with colors[n], its
// top-left pixel `corner`.
HBitmap MakeStrip(const std::vector<ColorRef>& colors, ColorRef corner) {
    HBitmap strip = CreateCompatibleBitmap(Hdc{}, 4 * static_cast<int32_t>(colors.size()), 4);
    Hdc dc = CreateCompatibleDC(Hdc{});
    HBitmap old = SelectObject(dc, strip);
    for (size_t n = 0; n < colors.size(); ++n) {
        HBrush brush = CreateSolidBrush(colors[n]);
        FillRect(dc, Rect{static_cast<int32_t>(n) * 4, 0, static_cast<int32_t>(n) * 4 + 4, 4}, brush);
        DeleteObject(brush);
        SetPixel(dc, static_cast<int32_t>(n) * 4, 0, corner);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return strip;
}

// Draws image `index` on a grey 6 x 6 canvas at (1, 1); the canvas pixel.
struct Drawn {
    Hdc dc;
    HBitmap bitmap, old;
    explicit Drawn(HImageList list, int32_t index, uint32_t style = ILD_NORMAL) {
        bitmap = CreateCompatibleBitmap(Hdc{}, 6, 6);
        dc = CreateCompatibleDC(Hdc{});
        old = SelectObject(dc, bitmap);
        HBrush grey = CreateSolidBrush(Rgb(128, 128, 128));
        FillRect(dc, Rect{0, 0, 6, 6}, grey);
        DeleteObject(grey);
        ok = ImageList_Draw(list, index, dc, 1, 1, style);
    }
    ~Drawn() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    ColorRef At(int32_t x, int32_t y) const { return GetPixel(dc, x, y); }
    bool ok = false;
};

TEST(ImageList, StripWithTransparentColourGivesOneImagePerCell) {
    HImageList list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 2, 2);
    ASSERT_TRUE(list);
    HBitmap strip = MakeStrip({Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(0, 255, 0)}, Rgb(255, 0, 255));
    EXPECT_EQ(ImageList_AddMasked(list, strip, Rgb(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_AddMasked(list, strip, Rgb(255, 0, 255)), 3);
    DeleteObject(strip);
    EXPECT_EQ(ImageList_GetImageCount(list), 6);
    {
        Drawn d(list, 1);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.At(1, 1), Rgb(128, 128, 128));  // the transparent corner shows the canvas
        EXPECT_EQ(d.At(2, 2), Rgb(0, 0, 255));
        EXPECT_EQ(d.At(5, 5), Rgb(128, 128, 128));  // outside the 4 x 4 image
    }
    EXPECT_TRUE(ImageList_Remove(list, 0));  // the others move down
    {
        Drawn d(list, 0);
        EXPECT_EQ(d.At(2, 2), Rgb(0, 0, 255));
    }
    EXPECT_FALSE(ImageList_Remove(list, 9));
    EXPECT_TRUE(ImageList_RemoveAll(list));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(kErrorInvalidHandle));
    EXPECT_EQ(ImageList_Add(list, HBitmap{}, HBitmap{}), -1);
}

TEST(ImageList, MaskBitmapAndIconsBothCutTheirShape) {
    HImageList list = ImageList_Create(4, 4, ILC_MASK, 1, 1);
    HBitmap image = MakeStrip({Rgb(10, 20, 30)}, Rgb(10, 20, 30));
    // A mask white in its left half: the right half is drawn.
    uint8_t maskBits[4 * 2] = {0xC0, 0, 0xC0, 0, 0xC0, 0, 0xC0, 0};
    HBitmap mask = CreateBitmap(4, 4, 1, 1, maskBits);
    ASSERT_EQ(ImageList_Add(list, image, mask), 0);
    {
        Drawn d(list, 0);
        EXPECT_EQ(d.At(1, 1), Rgb(128, 128, 128));
        EXPECT_EQ(d.At(4, 1), Rgb(10, 20, 30));
    }
    // The image as an icon, replaced into a second slot and scaled into an
    // 8 x 8 list: the same shape, doubled.
    HIcon icon = ImageList_GetIcon(list, 0, 0);
    ASSERT_TRUE(icon);
    HImageList big = ImageList_Create(8, 8, ILC_MASK, 1, 1);
    EXPECT_EQ(ImageList_AddIcon(big, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(big, 0, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(big, 3, icon), -1);
    Drawn d(big, 0);
    EXPECT_EQ(d.At(1, 1), Rgb(128, 128, 128));
    EXPECT_EQ(d.At(4, 1), Rgb(128, 128, 128));
    EXPECT_EQ(d.At(5, 5), Rgb(10, 20, 30));  // image pixel (4, 4): (2, 2) of the original
    int32_t w = 0, h = 0;
    EXPECT_TRUE(ImageList_GetIconSize(big, &w, &h));
    EXPECT_EQ(w, 8);
    DestroyIcon(icon);
    DeleteObject(image);
    DeleteObject(mask);
    ImageList_Destroy(list);
    ImageList_Destroy(big);
    EXPECT_FALSE(ImageList_Create(0, 4, 0, 1, 1));
}

}  // namespace
