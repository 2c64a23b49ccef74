// SHGetFileInfo and the system image lists, whose icons are drawn here.
#include "platform/shell/file_info.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/file.h"
#include "platform/window/system_info.h"

namespace plat {
namespace {

constexpr ColorRef kKey = Rgb(255, 0, 255);  // the transparent colour while drawing

void Fill(Hdc dc, Rect r, ColorRef c) {
    HBrush b = CreateSolidBrush(c);
    FillRect(dc, r, b);
    DeleteObject(b);
}

void Box(Hdc dc, Rect r, ColorRef fill, ColorRef edge) {
    Fill(dc, r, edge);
    Fill(dc, Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, fill);
}

// A page with a folded corner: the document shapes' base.
void Page(Hdc dc, int32_t s) {
    Rect page{s / 6, 1, s - s / 6, s - 1};
    Box(dc, page, Rgb(255, 255, 255), Rgb(110, 110, 110));
    int32_t fold = std::max(2, s / 4);
    for (int32_t i = 0; i < fold; ++i)
        Fill(dc, Rect{page.right - fold + i, page.top, page.right, page.top + i + 1}, kKey);
    Fill(dc, Rect{page.right - fold, page.top + fold - 1, page.right, page.top + fold}, Rgb(110, 110, 110));
}

// Draws icon `kind` at size s x s on a key-coloured square.
void DrawIconShape(Hdc dc, int32_t s, int32_t kind) {
    Fill(dc, Rect{0, 0, s, s}, kKey);
    switch (kind) {
    case kIconFolder:
        Box(dc, Rect{1, s * 3 / 20, s * 2 / 5 + 1, s * 3 / 10 + 1}, Rgb(240, 200, 80), Rgb(150, 110, 20));
        Box(dc, Rect{1, s * 3 / 10, s - 1, s - 2}, Rgb(245, 210, 95), Rgb(150, 110, 20));
        break;
    case kIconFile:
        Page(dc, s);
        for (int32_t y = s * 2 / 5; y < s - 3; y += std::max(2, s / 6))
            Fill(dc, Rect{s / 6 + 2, y, s - s / 6 - 2, y + std::max(1, s / 16)}, Rgb(160, 160, 160));
        break;
    case kIconProgram:
        Box(dc, Rect{1, s / 6, s - 1, s - s / 6}, Rgb(255, 255, 255), Rgb(40, 60, 120));
        Fill(dc, Rect{2, s / 6 + 1, s - 2, s / 6 + std::max(2, s / 5)}, Rgb(40, 90, 200));
        break;
    case kIconSound: {
        Page(dc, s);
        // A note: a round head and a stem.
        int32_t r = std::max(2, s / 6);
        int32_t cx = s / 2 - r / 2, cy = s - s / 4;
        HBrush black = CreateSolidBrush(Rgb(20, 20, 20));
        HPen pen = CreatePen(kPsSolid, 1, Rgb(20, 20, 20));
        HBrush oldBrush = SelectObject(dc, black);
        HPen oldPen = SelectObject(dc, pen);
        Ellipse(dc, cx - r, cy - r, cx + r, cy + r);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(black);
        DeleteObject(pen);
        Fill(dc, Rect{cx + r - std::max(1, s / 16), s / 4, cx + r, cy}, Rgb(20, 20, 20));
        break;
    }
    case kIconPicture:
        Box(dc, Rect{1, s / 6, s - 1, s - s / 6}, Rgb(120, 180, 240), Rgb(90, 90, 90));
        Fill(dc, Rect{2, s / 2, s - 2, s - s / 6 - 1}, Rgb(70, 160, 70));
        break;
    default:
        break;
    }
}

HImageList MakeList(int32_t size) {
    HImageList list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 5, 1);
    HBitmap strip = CreateCompatibleBitmap(Hdc{}, size, size);
    Hdc dc = CreateCompatibleDC(Hdc{});
    HBitmap old = SelectObject(dc, strip);
    for (int32_t kind = kIconFolder; kind <= kIconPicture; ++kind) {
        DrawIconShape(dc, size, kind);
        SelectObject(dc, old);
        ImageList_AddMasked(list, strip, kKey);
        SelectObject(dc, strip);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);
    return list;
}

std::u16string Extension(std::u16string_view name) {
    size_t dot = name.rfind(u'.');
    size_t slash = name.find_last_of(u"\\/");
    if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash)) return u"";
    std::u16string ext(name.substr(dot + 1));
    for (char16_t& c : ext)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return ext;
}

bool OneOf(const std::u16string& ext, std::initializer_list<const char16_t*> list) {
    for (const char16_t* e : list)
        if (ext == e) return true;
    return false;
}

void Copy(std::u16string_view text, char16_t* out, size_t capacity) {
    size_t n = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), n, out);
    out[n] = 0;
}

}  // namespace

HImageList SystemImageList(bool small) {
    static std::mutex lock;
    static HImageList lists[2];
    std::lock_guard<std::mutex> guard(lock);
    HImageList& list = lists[small ? 1 : 0];
    if (!list) list = MakeList(GetSystemMetrics(small ? kSmCxSmIcon : kSmCxIcon));
    return list;
}

uint64_t SHGetFileInfo(std::u16string_view path, uint32_t fileAttributes, ShFileInfo* info, uint32_t size,
                       uint32_t flags) {
    if (!info || size != sizeof(ShFileInfo)) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    uint32_t attributes = fileAttributes;
    if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
        if (DirectoryExists(path)) attributes = FILE_ATTRIBUTE_DIRECTORY;
        else if (FileExists(path)) attributes = FILE_ATTRIBUTE_NORMAL;
        else {
            SetLastError(kErrorFileNotFound);
            return 0;
        }
    }
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::u16string ext = folder ? u"" : Extension(path);
    int32_t icon = kIconFile;
    std::u16string type;
    if (folder) {
        icon = kIconFolder;
        type = u"Folder";
    } else if (OneOf(ext, {u"exe", u"lnk"})) {
        icon = kIconProgram;
        type = ext == u"lnk" ? u"Shortcut" : u"Program";
    } else if (OneOf(ext, {u"wav", u"mp3", u"wma", u"mid", u"midi", u"aac", u"amr"})) {
        icon = kIconSound;
        type = u"Sound";
    } else if (OneOf(ext, {u"png", u"bmp", u"jpg", u"jpeg", u"gif", u"ico", u"tga", u"2bp"})) {
        icon = kIconPicture;
        type = u"Picture";
    } else {
        std::u16string upper = ext;
        for (char16_t& c : upper)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        type = ext.empty() ? u"File" : upper + u" File";
    }
    bool small = (flags & SHGFI_SMALLICON) != 0;
    info->iIcon = icon;
    if (flags & SHGFI_DISPLAYNAME) {
        std::u16string_view name = path;
        while (name.size() > 1 && (name.back() == u'\\' || name.back() == u'/')) name.remove_suffix(1);
        size_t slash = name.find_last_of(u"\\/");
        Copy(slash == std::u16string_view::npos ? name : name.substr(slash + 1), info->szDisplayName, 260);
    }
    if (flags & SHGFI_TYPENAME) Copy(type, info->szTypeName, 80);
    if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = attributes;
    if (flags & SHGFI_ICON) info->hIcon = ImageList_GetIcon(SystemImageList(small), icon, 0);
    if (flags & SHGFI_SYSICONINDEX) return SystemImageList(small).value;
    return 1;
}

}  // namespace plat
