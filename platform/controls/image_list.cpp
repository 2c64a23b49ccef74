// Image lists kept as icons of the list's size.
#include "platform/controls/image_list.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

struct ImageListRecord {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t flags = 0;
    std::vector<HIcon> images;  // owned
};

struct Lists {
    std::mutex lock;
    uint32_t next = 1;
    std::unordered_map<uint32_t, std::shared_ptr<ImageListRecord>> byHandle;
};

Lists& All() {
    static Lists lists;
    return lists;
}

std::shared_ptr<ImageListRecord> Find(HImageList list) {
    Lists& l = All();
    std::lock_guard<std::mutex> guard(l.lock);
    auto it = l.byHandle.find(list.value);
    if (it == l.byHandle.end()) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return it->second;
}

// The pixels of a bitmap as top-down 0x00RRGGBB-ordered BGRX words; false
// for a bad bitmap.
bool ReadPixels(HBitmap bitmap, int32_t* width, int32_t* height, std::vector<uint32_t>* pixels) {
    BitmapDesc desc;
    if (!GetBitmapInfo(bitmap, &desc)) return false;
    *width = desc.width;
    *height = desc.height;
    pixels->assign(static_cast<size_t>(desc.width) * desc.height, 0);
    DibHeader header{desc.width, -desc.height, 32};
    return GetDiBits(bitmap, 0, desc.height, reinterpret_cast<uint8_t*>(pixels->data()), header) == desc.height;
}

// An icon from width x height pixels and transparency (true = see-through).
HIcon MakeIcon(int32_t width, int32_t height, const std::vector<uint32_t>& pixels, const std::vector<bool>& clear) {
    DibHeader header{width, -height, 32};
    uint8_t* bits = nullptr;
    HBitmap color = CreateDibSection(Hdc{}, header, &bits);
    if (!color) return HIcon{};
    int32_t stride = DibStride(width, 32);
    int32_t maskStride = ((width + 15) / 16) * 2;
    std::vector<uint8_t> maskBits(static_cast<size_t>(maskStride) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            size_t i = static_cast<size_t>(y) * width + x;
            uint8_t* p = bits + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4;
            uint32_t v = clear[i] ? 0 : pixels[i];
            p[0] = static_cast<uint8_t>(v & 0xFF);
            p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
            p[2] = static_cast<uint8_t>((v >> 16) & 0xFF);
            p[3] = clear[i] ? 0 : 255;
            if (clear[i]) maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    HBitmap mask = CreateBitmap(width, height, 1, 1, maskBits.data());
    IconInfo info;
    info.mask = mask;
    info.color = color;
    HIcon icon = CreateIconIndirect(info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

// Adds the images of a strip; `clearOf` tells whether the pixel at (x, y)
// of the strip is transparent.
template <class ClearOf>
int32_t AddStrip(HImageList list, HBitmap image, ClearOf clearOf) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return -1;
    int32_t width = 0, height = 0;
    std::vector<uint32_t> strip;
    if (!ReadPixels(image, &width, &height, &strip)) return -1;
    int32_t count = std::max(1, width / record->width);
    int32_t first = static_cast<int32_t>(record->images.size());
    size_t cells = static_cast<size_t>(record->width) * record->height;
    for (int32_t n = 0; n < count; ++n) {
        std::vector<uint32_t> pixels(cells, 0);
        std::vector<bool> clear(cells, true);
        for (int32_t y = 0; y < std::min(height, record->height); ++y)
            for (int32_t x = 0; x < record->width; ++x) {
                int32_t sx = n * record->width + x;
                if (sx >= width) continue;
                size_t i = static_cast<size_t>(y) * record->width + x;
                pixels[i] = strip[static_cast<size_t>(y) * width + sx] & 0xFFFFFF;
                clear[i] = clearOf(sx, y, pixels[i]);
            }
        HIcon icon = MakeIcon(record->width, record->height, pixels, clear);
        if (!icon) return -1;
        record->images.push_back(icon);
    }
    return first;
}

}  // namespace

HImageList ImageList_Create(int32_t width, int32_t height, uint32_t flags, int32_t, int32_t) {
    if (width < 1 || height < 1 || width > 256 || height > 256) {
        SetLastError(kErrorInvalidParameter);
        return HImageList{};
    }
    auto record = std::make_shared<ImageListRecord>();
    record->width = width;
    record->height = height;
    record->flags = flags;
    Lists& l = All();
    std::lock_guard<std::mutex> guard(l.lock);
    uint32_t handle = l.next++;
    l.byHandle[handle] = record;
    return HImageList{handle};
}

bool ImageList_Destroy(HImageList list) {
    std::shared_ptr<ImageListRecord> record;
    {
        Lists& l = All();
        std::lock_guard<std::mutex> guard(l.lock);
        auto it = l.byHandle.find(list.value);
        if (it == l.byHandle.end()) {
            SetLastError(kErrorInvalidHandle);
            return false;
        }
        record = it->second;
        l.byHandle.erase(it);
    }
    for (HIcon icon : record->images) DestroyIcon(icon);
    record->images.clear();
    return true;
}

int32_t ImageList_Add(HImageList list, HBitmap image, HBitmap mask) {
    std::vector<uint32_t> maskPixels;
    int32_t maskWidth = 0, maskHeight = 0;
    if (mask && !ReadPixels(mask, &maskWidth, &maskHeight, &maskPixels)) return -1;
    return AddStrip(list, image, [&](int32_t x, int32_t y, uint32_t) {
        if (!mask || x >= maskWidth || y >= maskHeight) return false;
        return (maskPixels[static_cast<size_t>(y) * maskWidth + x] & 0xFFFFFF) != 0;  // white: see-through
    });
}

int32_t ImageList_AddMasked(HImageList list, HBitmap image, ColorRef transparent) {
    uint32_t key = (uint32_t(RedOf(transparent)) << 16) | (uint32_t(GreenOf(transparent)) << 8) | BlueOf(transparent);
    return AddStrip(list, image, [&](int32_t, int32_t, uint32_t pixel) { return pixel == key; });
}

int32_t ImageList_ReplaceIcon(HImageList list, int32_t index, HIcon icon) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return -1;
    if (index < -1 || index >= static_cast<int32_t>(record->images.size())) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    // Draws the icon scaled onto black and onto white: where both agree the
    // icon covers the pixel; where they differ it shows the background.
    int32_t w = record->width, h = record->height;
    std::vector<uint32_t> onBlack, onWhite;
    for (ColorRef background : {Rgb(0, 0, 0), Rgb(255, 255, 255)}) {
        HBitmap canvas = CreateCompatibleBitmap(Hdc{}, w, h);
        Hdc dc = CreateCompatibleDC(Hdc{});
        HBitmap old = SelectObject(dc, canvas);
        HBrush brush = CreateSolidBrush(background);
        FillRect(dc, Rect{0, 0, w, h}, brush);
        DeleteObject(brush);
        bool drawn = DrawIconEx(dc, 0, 0, icon, w, h, kDiNormal);
        SelectObject(dc, old);
        DeleteDC(dc);
        int32_t cw = 0, ch = 0;
        std::vector<uint32_t>& target = background == 0 ? onBlack : onWhite;
        bool read = drawn && ReadPixels(canvas, &cw, &ch, &target);
        DeleteObject(canvas);
        if (!read) return -1;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    std::vector<bool> clear(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t b = onBlack[i] & 0xFFFFFF, wh = onWhite[i] & 0xFFFFFF;
        clear[i] = b == 0 && wh == 0xFFFFFF;
        pixels[i] = b;
    }
    HIcon copy = MakeIcon(w, h, pixels, clear);
    if (!copy) return -1;
    if (index == -1) {
        record->images.push_back(copy);
        return static_cast<int32_t>(record->images.size()) - 1;
    }
    DestroyIcon(record->images[static_cast<size_t>(index)]);
    record->images[static_cast<size_t>(index)] = copy;
    return index;
}

bool ImageList_Remove(HImageList list, int32_t index) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return false;
    if (index == -1) {
        for (HIcon icon : record->images) DestroyIcon(icon);
        record->images.clear();
        return true;
    }
    if (index < 0 || index >= static_cast<int32_t>(record->images.size())) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    DestroyIcon(record->images[static_cast<size_t>(index)]);
    record->images.erase(record->images.begin() + index);
    return true;
}

int32_t ImageList_GetImageCount(HImageList list) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    return record ? static_cast<int32_t>(record->images.size()) : 0;
}

bool ImageList_GetIconSize(HImageList list, int32_t* width, int32_t* height) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return false;
    if (width) *width = record->width;
    if (height) *height = record->height;
    return true;
}

HIcon ImageList_GetIcon(HImageList list, int32_t index, uint32_t) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return HIcon{};
    if (index < 0 || index >= static_cast<int32_t>(record->images.size())) {
        SetLastError(kErrorInvalidParameter);
        return HIcon{};
    }
    IconInfo info;
    if (!GetIconInfo(record->images[static_cast<size_t>(index)], &info)) return HIcon{};
    HIcon copy = CreateIconIndirect(info);
    DeleteObject(info.mask);
    DeleteObject(info.color);
    return copy;
}

bool ImageList_Draw(HImageList list, int32_t index, Hdc hdc, int32_t x, int32_t y, uint32_t style) {
    std::shared_ptr<ImageListRecord> record = Find(list);
    if (!record) return false;
    if (index < 0 || index >= static_cast<int32_t>(record->images.size())) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    HIcon icon = record->images[static_cast<size_t>(index)];
    if (style & ILD_MASK) return DrawIconEx(hdc, x, y, icon, record->width, record->height, kDiMask);
    if (!DrawIconEx(hdc, x, y, icon, record->width, record->height, kDiNormal)) return false;
    if (style & (ILD_SELECTED | ILD_FOCUS)) {
        // Half the highlight colour over the image's own pixels.
        IconInfo info;
        if (!GetIconInfo(icon, &info)) return true;
        std::vector<uint32_t> maskPixels;
        int32_t mw = 0, mh = 0;
        bool read = ReadPixels(info.mask, &mw, &mh, &maskPixels);
        DeleteObject(info.mask);
        DeleteObject(info.color);
        if (!read) return true;
        ColorRef highlight = GetSysColor(kColorHighlight);
        for (int32_t py = 0; py < mh; ++py)
            for (int32_t px = 0; px < mw; ++px) {
                if (maskPixels[static_cast<size_t>(py) * mw + px] & 0xFFFFFF) continue;
                ColorRef c = GetPixel(hdc, x + px, y + py);
                if (c == kClrInvalid) continue;
                SetPixel(hdc, x + px, y + py,
                         Rgb(static_cast<uint8_t>((RedOf(c) + RedOf(highlight)) / 2),
                             static_cast<uint8_t>((GreenOf(c) + GreenOf(highlight)) / 2),
                             static_cast<uint8_t>((BlueOf(c) + BlueOf(highlight)) / 2)));
            }
    }
    return true;
}

}  // namespace plat
